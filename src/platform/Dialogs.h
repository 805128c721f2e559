#pragma once
// Window-system dialog services the core calls. The Qt front end implements
// them with real dialogs, the command line with standard error, tests with
// scripted fakes (tests/support/FakePlatform.h).

#include <cstdint>
#include <optional>
#include <string>

namespace mutaplot {

// The title of every failure message of the system.
inline constexpr const char* kCheckTitle = "確認";

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

struct FileDialogFlags {
    bool hideReadOnly = true;      // hide the read-only check box
    bool overwritePrompt = false;  // ask before an existing file is replaced (save only)
    // The dialog's title; none: the platform's own ("開く", "名前を付けて保存").
    const char* title = nullptr;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a message and waits for the answer.
    virtual MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                                      MessageButtons buttons) = 0;

    // Open and save file dialogs. `filter` is "desc|pattern|desc|pattern"
    // (one description may cover several patterns separated by ";"). The
    // preset name is always empty. Returns the full path, or an empty text
    // when the user cancelled. A typed name of a missing file is returned too.
    virtual std::string OpenFileName(const std::string& filter, FileDialogFlags flags) = 0;
    virtual std::string SaveFileName(const std::string& filter, FileDialogFlags flags) = 0;

    // Colour chooser starting at `preset` (0x00BBGGRR); no value when cancelled.
    virtual std::optional<std::uint32_t> ChooseColour(std::uint32_t preset) = 0;

    // Printer set-up: chooses the printer and page of the next print.
    // Returns false when cancelled.
    virtual bool PrinterSetup() = 0;

    // Shows a help file at its contents page.
    virtual void ShowHelp(const std::string& helpFilePath) = 0;
};

// A failure message: title "確認", OK alone.
inline void ShowCheckMessage(Dialogs& dialogs, const std::string& text) {
    dialogs.ShowMessage(text, kCheckTitle, MessageButtons::Ok);
}

}  // namespace mutaplot
