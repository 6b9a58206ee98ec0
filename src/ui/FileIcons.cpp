#include "ui/FileIcons.h"

#include <QMimeDatabase>
#include <QMimeType>

#include "settings/AssociatedProgram.h"
#include "ui/CategoryImages.h"

namespace undelvo::ui {

namespace {

// The category list's page with a question mark.
constexpr int kUnknownPageImage = 16;

bool Drawable(const QIcon& icon) { return !icon.isNull() && !icon.pixmap(16, 16).isNull(); }

}  // namespace

QIcon ThemeIconForExtension(const QString& extension) {
  if (extension.isEmpty()) return {};
  const QMimeDatabase db;
  const QMimeType type = db.mimeTypeForFile(QStringLiteral("file") + extension, QMimeDatabase::MatchExtension);
  // The default type (application/octet-stream) says only that the name is unknown.
  if (!type.isValid() || type.isDefault()) return {};
  QIcon icon = QIcon::fromTheme(type.iconName());
  if (!Drawable(icon)) icon = QIcon::fromTheme(type.genericIconName());
  return Drawable(icon) ? icon : QIcon();
}

FileIcons::FileIcons(Resolver resolver) : resolver_(std::move(resolver)) {}

FileIcons::Resolver FileIcons::WithAssociations(const RegistryStore& store, const Settings& settings,
                                                Resolver next) {
  return [&store, &settings, next = std::move(next)](const QString& extension) {
    if (!GetAssociatedProgram(store, settings, extension).isEmpty()) return QIcon();
    return next ? next(extension) : QIcon();
  };
}

QIcon FileIcons::Fallback() {
  if (fallback_.isNull()) fallback_ = QIcon(CategoryImage(kUnknownPageImage));
  return fallback_;
}

QIcon FileIcons::IconFor(const QString& extension) {
  const auto kept = icons_.constFind(extension);
  if (kept != icons_.cend()) return *kept;
  QIcon icon = resolver_ ? resolver_(extension) : QIcon();
  if (icon.isNull()) icon = Fallback();
  icons_.insert(extension, icon);
  return icon;
}

void FileIcons::Clear() { icons_.clear(); }

}  // namespace undelvo::ui
