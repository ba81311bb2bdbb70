#pragma once
// The recent-file list: the 4 files opened last, newest first, kept in the program's profile so
// it survives the program.

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;

namespace quenda {

class Settings;

class RecentFiles final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kCapacity = 4;

  // Reads the list from `settings`, which must outlive this object.
  explicit RecentFiles(Settings& settings, QObject* parent = nullptr);

  const QStringList& files() const { return files_; }
  // Puts `path` first; an entry naming the same file (names compare without regard to case, as
  // files are found) moves up instead of appearing twice; the oldest beyond 4 falls off.
  void Add(const QString& path);
  // Drops `path`, for a file that could not be opened again.
  void Remove(const QString& path);

  // Fills `menu` with "&1 path" .. entries (or a disabled "Recent File" when the list is empty)
  // and keeps it filled as the list changes; choosing an entry emits Chosen.
  void AttachMenu(QMenu* menu);

 signals:
  void Chosen(const QString& path);

 private:
  void Store();
  void FillMenu();

  Settings& settings_;
  QStringList files_;
  QMenu* menu_ = nullptr;
};

}  // namespace quenda
