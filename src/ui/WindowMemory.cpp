#include "ui/WindowMemory.h"

#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <QStandardPaths>
#include <QStringList>

#include <string>
#include <vector>

namespace mutaplot {

namespace {

constexpr const char* kRecentKey = "recentFiles";
constexpr const char* kFolderKey = "lastFolder";

QString GeometryKey(const QString& window) { return "geometry/" + window; }

}  // namespace

WindowMemory::WindowMemory(const QString& iniFile, QObject* parent) : QObject(parent) {
    if (iniFile.isEmpty()) return;
    settings_ = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
    std::vector<std::string> stored;
    for (const QString& p : settings_->value(kRecentKey).toStringList()) stored.push_back(p.toStdString());
    recent_.Assign(stored);
    lastFolder_ = settings_->value(kFolderKey).toString();
}

WindowMemory::~WindowMemory() = default;

QString WindowMemory::UserFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/mutaplot/windows.ini";
}

void WindowMemory::AddRecent(const std::filesystem::path& path) {
    recent_.Add(std::filesystem::absolute(path).lexically_normal().string());
    SaveRecent();
}

void WindowMemory::RemoveRecent(const std::string& path) {
    recent_.Remove(path);
    SaveRecent();
}

void WindowMemory::SaveRecent() {
    if (settings_) {
        QStringList list;
        for (const std::string& p : recent_.paths()) list << QString::fromStdString(p);
        settings_->setValue(kRecentKey, list);
        settings_->sync();
    }
    emit recentChanged();
}

void WindowMemory::SetLastFolder(const QString& folder) {
    lastFolder_ = folder;
    if (settings_) settings_->setValue(kFolderKey, folder);
}

QByteArray WindowMemory::Geometry(const QString& window) const {
    return settings_ ? settings_->value(GeometryKey(window)).toByteArray() : QByteArray();
}

void WindowMemory::SetGeometry(const QString& window, const QByteArray& geometry) {
    if (!settings_) return;
    settings_->setValue(GeometryKey(window), geometry);
    settings_->sync();
}

}  // namespace mutaplot

namespace mutaplot {

QString CaptionWithFile(const char* caption, const std::filesystem::path& loadedFile) {
    QString title = QString::fromUtf8(caption);
    if (!loadedFile.empty())
        title += " - " + QString::fromStdString(loadedFile.filename().string());
    return title;
}

void FillRecentMenu(QMenu* menu, const WindowMemory& memory,
                    const std::function<void(const std::string&)>& open) {
    menu->clear();
    int number = 0;
    for (const std::string& path : memory.recent().paths()) {
        ++number;
        QAction* a = menu->addAction(QString("&%1 ").arg(number) + QString::fromStdString(path));
        a->setObjectName(QString("recentFile%1").arg(number));
        QObject::connect(a, &QAction::triggered, menu, [open, path] { open(path); });
    }
    menu->setEnabled(number > 0);
}

std::optional<std::filesystem::path> DroppedFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return std::nullopt;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) return std::filesystem::path(url.toLocalFile().toStdString());
    return std::nullopt;
}

}  // namespace mutaplot
