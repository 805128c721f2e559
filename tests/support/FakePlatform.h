#pragma once
// Scripted fakes of the platform services for tests: every message shown is
// recorded; file and colour dialogs answer from queues (empty queue = cancel).

#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <deque>
#include <string>
#include <vector>

namespace mutaplot::testing {

struct ShownMessage {
    std::string text;
    std::string title;
    MessageButtons buttons;
};

class FakePlatform final : public Dialogs, public Pointer {
public:
    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons) override;
    std::string OpenFileName(const std::string& filter, FileDialogFlags flags) override;
    std::string SaveFileName(const std::string& filter, FileDialogFlags flags) override;
    std::optional<std::uint32_t> ChooseColour(std::uint32_t preset) override;
    bool PrinterSetup() override;
    void ShowHelp(const std::string& helpFilePath) override;
    void SetPointer(PointerShape shape) override;
    void ProcessPendingEvents() override;

    // Scripts.
    std::deque<MessageAnswer> messageAnswers;      // default answer: Ok
    std::deque<std::string> fileAnswers;           // default answer: "" (cancel)
    std::deque<std::optional<std::uint32_t>> colourAnswers;
    bool printerSetupAnswer = true;

    // Records.
    std::vector<ShownMessage> messages;
    std::vector<std::string> fileFilters;          // filter of each file dialog, in order
    std::vector<FileDialogFlags> fileFlags;
    std::vector<bool> saveDialogs;                 // each file dialog: a save dialog
    std::vector<std::string> helpShown;
    std::vector<PointerShape> pointerHistory;
    PointerShape pointer = PointerShape::Default;
    int pendingEventPasses = 0;

private:
    std::string Answer(const std::string& filter, FileDialogFlags flags);
};

}  // namespace mutaplot::testing
