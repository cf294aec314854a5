#include "lift_lcd/cli_ui.h"

#include <ostream>

namespace Lift::Cli {

CliUi::CliUi(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {
    m_previousSink =
        YVclUtil::SetErrorBoxSink([this](const std::string& caption, const std::string& text) {
            m_err << BoxLine(caption, text) << std::flush;
        });
}

CliUi::~CliUi() {
    YVclUtil::SetErrorBoxSink(std::move(m_previousSink));
}

std::string CliUi::BoxLine(const std::string& caption, const std::string& text) {
    std::string body = text;
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r'))
        body.pop_back();
    return caption + ": " + body + "\n";
}

std::optional<std::string> CliUi::chooseSaveFile(const Editor::FileDialogRequest&) {
    return saveAnswer;
}

std::optional<std::string> CliUi::chooseOpenFile(const Editor::FileDialogRequest&) {
    return openAnswer;
}

std::optional<std::string> CliUi::choosePictureFile(const Editor::FileDialogRequest&) {
    return std::nullopt;
}

bool CliUi::askYesNo(const std::string& text, const std::string& caption) {
    m_err << BoxLine(caption, text) << std::flush;
    return yesAnswer;
}

void CliUi::messageBox(const std::string& text, const std::string& caption) {
    m_err << BoxLine(caption, text) << std::flush;
}

void CliUi::appendLog(const std::string& line) {
    m_out << line << "\n" << std::flush;
}

} // namespace Lift::Cli
