#pragma once
// A walk (display, print, DXF) that meets the same problem on many blocks
// shows its message once: this wrapper forwards each distinct message text
// (with its title) the first time only, and every other dialog unchanged.
// Create one per walk.

#include "platform/Dialogs.h"

#include <set>
#include <string>
#include <utility>

namespace mutaplot {

class OncePerWalkDialogs final : public Dialogs {
public:
    explicit OncePerWalkDialogs(Dialogs& inner) : inner_(inner) {}

    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons) override {
        if (!shown_.emplace(text, title).second) return MessageAnswer::Ok;
        return inner_.ShowMessage(text, title, buttons);
    }
    std::string OpenFileName(const std::string& filter, FileDialogFlags flags) override {
        return inner_.OpenFileName(filter, flags);
    }
    std::string SaveFileName(const std::string& filter, FileDialogFlags flags) override {
        return inner_.SaveFileName(filter, flags);
    }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t preset) override {
        return inner_.ChooseColour(preset);
    }
    bool PrinterSetup() override { return inner_.PrinterSetup(); }
    void ShowHelp(const std::string& helpFilePath) override { inner_.ShowHelp(helpFilePath); }

private:
    Dialogs& inner_;
    std::set<std::pair<std::string, std::string>> shown_;
};

}  // namespace mutaplot
