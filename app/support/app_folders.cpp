#include "support/app_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QFileInfo>

namespace zefra::app {

QString appDir() {
  QString dir = QCoreApplication::applicationDirPath();
  if (!dir.endsWith('/')) dir += '/';
  return dir;
}

QString findProgramFolder(const QString& programDir, const QString& name) {
  const QDir base(programDir);
  const QString candidates[] = {base.filePath(name), base.filePath("../share/zefra/" + name)};
  for (const QString& candidate : candidates) {
    QFileInfo info(candidate);
    if (info.isDir()) return QDir::cleanPath(info.absoluteFilePath()) + '/';
  }
  return {};
}

QString programFolder(const QString& name) { return findProgramFolder(appDir(), name); }

QString findDataRoot(const QString& programDir) {
  const QDir base(programDir);
  if (base.exists(QStringLiteral("Textures")) || base.exists(QStringLiteral("Demo"))) {
    return QDir::cleanPath(base.absolutePath()) + '/';
  }
  const QFileInfo shared(base.filePath(QStringLiteral("../share/zefra")));
  if (shared.isDir()) return QDir::cleanPath(shared.absoluteFilePath()) + '/';
  return QDir::cleanPath(base.absolutePath()) + '/';
}

QString dataRoot() { return findDataRoot(appDir()); }

QString startFolder(const QString& lastUsed) {
  if (!lastUsed.isEmpty() && QFileInfo(lastUsed).isDir()) return lastUsed;
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) return pictures;
  return QDir::homePath();
}

}  // namespace zefra::app
