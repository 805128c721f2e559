#pragma once
// What the windows remember between runs: the recent files, the folder of
// the last file dialog and the window geometry, kept with QSettings in an
// INI file of the user's (the settings file mutapl.ini is not touched). A
// memory made without a file remembers for this run only (tests, and a
// window made without the application's memory).

#include "ui/RecentFiles.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QSettings;

namespace mutaplot {

class WindowMemory final : public QObject {
    Q_OBJECT
public:
    // `iniFile` empty: nothing is read or written.
    explicit WindowMemory(const QString& iniFile = {}, QObject* parent = nullptr);
    ~WindowMemory() override;

    // The user's file: <configuration folder>/mutaplot/windows.ini, beside the
    // user's settings file.
    static QString UserFile();

    const RecentFiles& recent() const noexcept { return recent_; }
    void AddRecent(const std::filesystem::path& path);
    void RemoveRecent(const std::string& path);

    QString lastFolder() const { return lastFolder_; }
    void SetLastFolder(const QString& folder);

    // A window's saved geometry (QWidget::saveGeometry), empty when none.
    QByteArray Geometry(const QString& window) const;
    void SetGeometry(const QString& window, const QByteArray& geometry);

signals:
    void recentChanged();

private:
    void SaveRecent();

    std::unique_ptr<QSettings> settings_;
    RecentFiles recent_;
    QString lastFolder_;
};

}  // namespace mutaplot

class QMenu;
class QMimeData;

namespace mutaplot {

// The title of a window with its written caption: "Mutaplot＋ Ver1.63 -
// board.gbr" while a file is loaded, the caption alone when none is.
QString CaptionWithFile(const char* caption, const std::filesystem::path& loadedFile);

// The recent-files menu of a ﾌｧｲﾙ menu: "&1 /path/board.gbr" … in order,
// disabled when empty; a pick calls `open` with the path.
inline constexpr const char* kRecentMenuCaption = "最近使ったファイル";
void FillRecentMenu(QMenu* menu, const WindowMemory& memory,
                    const std::function<void(const std::string&)>& open);

// The first local file of a drag, if any.
std::optional<std::filesystem::path> DroppedFile(const QMimeData* mime);

}  // namespace mutaplot
