#include "support/FakePlatform.h"

namespace mutaplot::testing {

MessageAnswer FakePlatform::ShowMessage(const std::string& text, const std::string& title,
                                        MessageButtons buttons) {
    messages.push_back({text, title, buttons});
    if (messageAnswers.empty()) return MessageAnswer::Ok;
    MessageAnswer a = messageAnswers.front();
    messageAnswers.pop_front();
    return a;
}

std::string FakePlatform::OpenFileName(const std::string& filter, FileDialogFlags flags) {
    saveDialogs.push_back(false);
    return Answer(filter, flags);
}

std::string FakePlatform::Answer(const std::string& filter, FileDialogFlags flags) {
    fileFilters.push_back(filter);
    fileFlags.push_back(flags);
    if (fileAnswers.empty()) return {};
    std::string a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

std::string FakePlatform::SaveFileName(const std::string& filter, FileDialogFlags flags) {
    saveDialogs.push_back(true);
    return Answer(filter, flags);
}

std::optional<std::uint32_t> FakePlatform::ChooseColour(std::uint32_t) {
    if (colourAnswers.empty()) return std::nullopt;
    auto a = colourAnswers.front();
    colourAnswers.pop_front();
    return a;
}

bool FakePlatform::PrinterSetup() { return printerSetupAnswer; }

void FakePlatform::ShowHelp(const std::string& helpFilePath) { helpShown.push_back(helpFilePath); }

void FakePlatform::SetPointer(PointerShape shape) {
    pointer = shape;
    pointerHistory.push_back(shape);
}

void FakePlatform::ProcessPendingEvents() { ++pendingEventPasses; }

}  // namespace mutaplot::testing
