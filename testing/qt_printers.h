#pragma once
// Readable failure messages for the Qt values that window tests compare (gtest finds these
// beside the types, in the global namespace).

#include <QColor>
#include <QPoint>
#include <QSize>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QColor& colour, std::ostream* out) {
  *out << "QColor(" << colour.red() << ", " << colour.green() << ", " << colour.blue() << ", "
       << colour.alpha() << ")";
}
inline void PrintTo(const QSize& size, std::ostream* out) {
  *out << size.width() << "x" << size.height();
}
inline void PrintTo(const QPoint& point, std::ostream* out) {
  *out << "(" << point.x() << ", " << point.y() << ")";
}
