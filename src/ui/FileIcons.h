#pragma once
#include <QHash>
#include <QIcon>
#include <QString>
#include <functional>

namespace undelvo {
class RegistryStore;
struct Settings;
}  // namespace undelvo

namespace undelvo::ui {

// The desktop's icon for files with `extension` (from the last dot on, the
// dot included; may be empty): the icon theme's icon for the MIME type that
// the MIME database gives such a file name, else the type's generic icon.
// A null icon when the database does not know the extension, or when the
// theme has neither icon in a form that can be drawn at 16 x 16.
QIcon ThemeIconForExtension(const QString& extension);

// The icons of the results' file rows, one per extension. A lookup asks the
// resolver once per extension (letter case counts, as it does for MIME
// file-name patterns); later rows of the same extension share the icon kept
// for it. An extension that the resolver has no icon for (a null icon) gets
// the fallback: a page with a question mark. Clear() forgets the kept icons,
// for a new fill of the list.
class FileIcons {
 public:
  using Resolver = std::function<QIcon(const QString& extension)>;

  explicit FileIcons(Resolver resolver = ThemeIconForExtension);

  // A resolver that first asks the registry's classes root for the program
  // associated with the extension. The icon of such a program (a Windows
  // program file) cannot be read here, so its extension gets the fallback;
  // other extensions go to `next`. The store and the settings must outlive
  // the resolver.
  static Resolver WithAssociations(const RegistryStore& store, const Settings& settings,
                                   Resolver next = ThemeIconForExtension);

  QIcon IconFor(const QString& extension);
  void Clear();
  // The icon rows without an icon of their own get.
  QIcon Fallback();
  // How many extensions have an icon kept.
  int Size() const { return int(icons_.size()); }

 private:
  Resolver resolver_;
  QHash<QString, QIcon> icons_;
  QIcon fallback_;
};

}  // namespace undelvo::ui
