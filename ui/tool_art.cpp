#include "ui/tool_art.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <tuple>

namespace quenda {
namespace {

const QColor kInk(34, 34, 34);
const QColor kWhite(255, 255, 255);

QPen InkPen(double width = 1.6) {
  return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// All pictures are drawn on a 32 x 32 grid and scaled.
void DrawBucket(QPainter& p, const QColor& paint) {
  QPolygonF body{{9, 10}, {25, 10}, {22, 28}, {12, 28}};
  p.setPen(InkPen());
  p.setBrush(QColor(190, 200, 215));
  p.drawPolygon(body);
  p.setBrush(paint);
  p.drawEllipse(QRectF(9, 7, 16, 6));
  // Paint running over the rim down to the tip.
  QPainterPath drip;
  drip.moveTo(10, 10);
  drip.cubicTo(6, 12, 4, 18, 4, 26);
  drip.cubicTo(4, 29, 7, 29, 7, 26);
  drip.cubicTo(7, 20, 8, 15, 12, 11);
  p.drawPath(drip);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(11, 1, 12, 14), 0, 180 * 16);
}

void DrawPen(QPainter& p) {
  p.setPen(InkPen());
  p.setBrush(QColor(250, 200, 60));
  p.drawPolygon(QPolygonF{{24, 2}, {30, 8}, {11, 27}, {5, 21}});
  p.setBrush(QColor(240, 220, 180));
  p.drawPolygon(QPolygonF{{5, 21}, {11, 27}, {3, 29}});
  p.setBrush(kInk);
  p.drawPolygon(QPolygonF{{3.8, 26}, {6, 28.2}, {3, 29}});
}

void DrawEraser(QPainter& p, const QColor& band) {
  p.setPen(InkPen());
  p.setBrush(QColor(245, 160, 170));
  p.drawPolygon(QPolygonF{{17, 4}, {29, 16}, {19, 26}, {7, 14}});
  p.setBrush(band);
  p.drawPolygon(QPolygonF{{7, 14}, {19, 26}, {14, 31}, {2, 19}});
}

void DrawBrush(QPainter& p, const QColor& paint) {
  p.setPen(InkPen());
  p.setBrush(QColor(160, 100, 50));
  p.drawPolygon(QPolygonF{{26, 2}, {30, 6}, {16, 20}, {12, 16}});
  p.setBrush(QColor(180, 180, 190));
  p.drawPolygon(QPolygonF{{12, 16}, {16, 20}, {13, 23}, {9, 19}});
  QPainterPath tuft;
  tuft.moveTo(9, 19);
  tuft.cubicTo(5, 21, 4, 25, 3, 29);
  tuft.cubicTo(7, 28, 11, 27, 13, 23);
  tuft.closeSubpath();
  p.setBrush(paint);
  p.drawPath(tuft);
}

void DrawPicker(QPainter& p) {
  p.setPen(InkPen());
  p.setBrush(kInk);
  p.drawEllipse(QRectF(21, 2, 9, 9));
  p.drawPolygon(QPolygonF{{18, 8}, {24, 14}, {22, 16}, {16, 10}});
  p.setBrush(QColor(210, 235, 250));
  p.drawPolygon(QPolygonF{{17, 11}, {21, 15}, {6, 28}, {3, 29}, {4, 26}});
}

void DrawCrossHair(QPainter& p, QPointF at) {
  p.setPen(QPen(kWhite, 3));
  p.drawLine(QPointF(at.x() - 7, at.y()), QPointF(at.x() + 7, at.y()));
  p.drawLine(QPointF(at.x(), at.y() - 7), QPointF(at.x(), at.y() + 7));
  p.setPen(QPen(kInk, 1));
  p.drawLine(QPointF(at.x() - 7, at.y()), QPointF(at.x() + 7, at.y()));
  p.drawLine(QPointF(at.x(), at.y() - 7), QPointF(at.x(), at.y() + 7));
}

// A rectangle tool: the dragged frame with the small tool in its corner.
void DrawRectangleTool(QPainter& p, ToolArt inner) {
  p.setPen(QPen(kInk, 1.4, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(8, 8, 20, 14));
  DrawCrossHair(p, {8, 8});
  p.save();
  p.translate(14, 14);
  p.scale(0.55, 0.55);
  if (inner == ToolArt::BrushRectangle) DrawBrush(p, QColor(220, 40, 40));
  if (inner == ToolArt::EraserRectangle) DrawEraser(p, QColor(60, 90, 200));
  if (inner == ToolArt::UneraseRectangle) DrawEraser(p, QColor(40, 170, 70));
  p.restore();
}

void DrawHand(QPainter& p) {
  p.setPen(InkPen(1.4));
  p.setBrush(QColor(250, 225, 190));
  QPainterPath hand;
  hand.addRoundedRect(QRectF(8, 14, 17, 14), 5, 5);
  for (double x : {8.5, 12.5, 16.5, 20.5}) hand.addRoundedRect(QRectF(x, 4, 4, 14), 2, 2);
  hand.addRoundedRect(QRectF(2, 15, 10, 4), 2, 2);
  p.drawPath(hand.simplified());
}

void DrawMagnifier(QPainter& p, const QString& sign) {
  p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(20, 20), QPointF(29, 29));
  p.setPen(InkPen(2));
  p.setBrush(QColor(225, 240, 255));
  p.drawEllipse(QRectF(3, 3, 20, 20));
  QFont font = p.font();
  font.setPixelSize(sign.size() > 1 ? 8 : 16);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(3, 3, 20, 20), Qt::AlignCenter, sign);
}

void DrawArrowHead(QPainter& p, QPointF tip, double direction) {
  p.save();
  p.translate(tip);
  p.rotate(direction);
  p.setBrush(kInk);
  p.drawPolygon(QPolygonF{{0, 0}, {-7, -5}, {-7, 5}});
  p.restore();
}

void DrawFrameStep(QPainter& p, bool forward, bool toEnd) {
  p.setPen(InkPen());
  p.setBrush(QColor(70, 130, 200));
  QPolygonF triangle =
      forward ? QPolygonF{{8, 6}, {24, 16}, {8, 26}} : QPolygonF{{24, 6}, {8, 16}, {24, 26}};
  p.drawPolygon(triangle);
  if (toEnd) {
    p.setBrush(kInk);
    p.drawRect(forward ? QRectF(25, 6, 3, 20) : QRectF(4, 6, 3, 20));
  }
}

void Draw(QPainter& p, ToolArt art) {
  switch (art) {
    case ToolArt::Bucket:
      DrawBucket(p, QColor(40, 120, 230));
      break;
    case ToolArt::LineBucket:
      DrawBucket(p, QColor(220, 40, 40));
      p.setPen(QPen(QColor(220, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(16, 30), QPointF(30, 22));
      break;
    case ToolArt::Pen:
      DrawPen(p);
      break;
    case ToolArt::Eraser:
      DrawEraser(p, QColor(60, 90, 200));
      break;
    case ToolArt::Unerase:
      DrawEraser(p, QColor(40, 170, 70));
      p.setPen(QPen(QColor(40, 170, 70), 2.5));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(18, 18, 12, 12), 90 * 16, 270 * 16);
      DrawArrowHead(p, {24, 18}, 0);
      break;
    case ToolArt::Brush:
      DrawBrush(p, QColor(220, 40, 40));
      break;
    case ToolArt::BrushRectangle:
    case ToolArt::EraserRectangle:
    case ToolArt::UneraseRectangle:
      DrawRectangleTool(p, art);
      break;
    case ToolArt::Picker:
      DrawPicker(p);
      break;
    case ToolArt::Hand:
      DrawHand(p);
      break;
    case ToolArt::ZoomIn:
      DrawMagnifier(p, QStringLiteral("+"));
      break;
    case ToolArt::ZoomOut:
      DrawMagnifier(p, QStringLiteral("\u2212"));
      break;
    case ToolArt::ZoomOneToOne:
      DrawMagnifier(p, QStringLiteral("1:1"));
      break;
    case ToolArt::Undo:
      p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(6, 8, 20, 18), -90 * 16, 240 * 16);
      DrawArrowHead(p, {7, 12}, 200);
      break;
    case ToolArt::New:
      p.setPen(InkPen());
      p.setBrush(kWhite);
      p.drawPolygon(QPolygonF{{6, 3}, {19, 3}, {26, 10}, {26, 29}, {6, 29}});
      p.setBrush(QColor(225, 225, 225));
      p.drawPolygon(QPolygonF{{19, 3}, {19, 10}, {26, 10}});
      p.setPen(QPen(QColor(40, 170, 70), 3, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(16, 15), QPointF(16, 25));
      p.drawLine(QPointF(11, 20), QPointF(21, 20));
      break;
    case ToolArt::Open:
      p.setPen(InkPen());
      p.setBrush(QColor(240, 200, 90));
      p.drawPolygon(QPolygonF{{3, 8}, {12, 8}, {14, 11}, {28, 11}, {28, 26}, {3, 26}});
      p.setBrush(QColor(250, 220, 120));
      p.drawPolygon(QPolygonF{{7, 15}, {31, 15}, {27, 26}, {3, 26}});
      break;
    case ToolArt::PreviousFrame:
      DrawFrameStep(p, false, false);
      break;
    case ToolArt::NextFrame:
      DrawFrameStep(p, true, false);
      break;
    case ToolArt::FirstFrame:
      DrawFrameStep(p, false, true);
      break;
    case ToolArt::LastFrame:
      DrawFrameStep(p, true, true);
      break;
    case ToolArt::AutoPaint:
      DrawBucket(p, QColor(40, 170, 70));
      p.setPen(InkPen(1.2));
      p.setBrush(QColor(255, 220, 40));
      p.drawPolygon(QPolygonF{{26, 17},
                              {28, 22},
                              {31, 23},
                              {28, 25},
                              {27, 30},
                              {25, 26},
                              {21, 26},
                              {24, 23},
                              {22, 19},
                              {26, 21}});
      break;
    case ToolArt::Colours:
      p.setPen(InkPen());
      p.setBrush(QColor(235, 210, 170));
      p.drawEllipse(QRectF(2, 5, 28, 22));
      for (auto [x, y, colour] :
           {std::tuple{8.0, 11.0, QColor(220, 40, 40)}, std::tuple{15.0, 9.0, QColor(40, 120, 230)},
            std::tuple{22.0, 11.0, QColor(40, 170, 70)},
            std::tuple{9.0, 18.0, QColor(250, 210, 40)}}) {
        p.setBrush(colour);
        p.drawEllipse(QRectF(x - 2.5, y - 2.5, 5, 5));
      }
      p.setBrush(kWhite);
      p.drawEllipse(QRectF(17, 17, 7, 6));
      break;
  }
}

}  // namespace

QPixmap ToolPixmap(ToolArt art, int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(side / 32.0, side / 32.0);
  Draw(painter, art);
  return pixmap;
}

QIcon ToolIcon(ToolArt art) {
  QIcon icon;
  for (int side : {16, 24, 32, 48}) icon.addPixmap(ToolPixmap(art, side));
  return icon;
}

QPoint ToolHotSpot(ToolArt art) {
  switch (art) {
    case ToolArt::Bucket:
    case ToolArt::LineBucket:
    case ToolArt::AutoPaint:
      return {5, 27};
    case ToolArt::Pen:
    case ToolArt::Brush:
    case ToolArt::Picker:
      return {3, 29};
    case ToolArt::Eraser:
    case ToolArt::Unerase:
      return {4, 20};
    case ToolArt::BrushRectangle:
    case ToolArt::EraserRectangle:
    case ToolArt::UneraseRectangle:
      return {8, 8};
    case ToolArt::ZoomIn:
    case ToolArt::ZoomOut:
    case ToolArt::ZoomOneToOne:
      return {13, 13};
    default:
      return {16, 16};
  }
}

QCursor ToolCursor(ToolArt art) {
  QPoint spot = ToolHotSpot(art);
  return QCursor(ToolPixmap(art, 32), spot.x(), spot.y());
}

}  // namespace quenda
