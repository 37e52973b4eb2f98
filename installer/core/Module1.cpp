// Module1: the program's start-up.
#include "Installer.h"
#include "Text.h"

namespace installer {
namespace {

// The product id follows "QUORVST" in the name of one folder inside the chosen
// plug-in folder. An id that could lead elsewhere is refused: a separator, a
// drive or stream mark, a step to a parent folder, or a control character,
// which Windows names cannot hold and of which a zero would cut the name short.
bool isPlainProductId(std::u16string_view id) {
    if (id.find(u"..") != std::u16string_view::npos || hasControlCharacter(id))
        return false;
    for (const char16_t c : id)
        if (c == u'/' || c == u'\\' || c == u':')
            return false;
    return true;
}

} // namespace

Outcome Main(FileSystem& files, UserInterface& ui, const std::u16string& programFolder) {
    const std::u16string path = programFolder + pathSeparator + dataFileName;
    if (!files.isNormalFile(path)) {
        ui.message(MessageIcon::Error, errorTitle, u"Can't access QUORVSTINSTALLER.DAT");
        return Outcome::Failed;
    }
    const std::optional<std::string> content = files.readFile(path);
    if (!content) {
        ui.message(MessageIcon::Error, errorTitle, u"Can't read " + path);
        return Outcome::Failed;
    }
    std::string_view text = *content;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") // a UTF-8 byte order mark
        text.remove_prefix(3);
    const std::vector<std::u16string> lines = splitLines(decodeText(text));
    if (lines.size() < 3) {
        ui.message(MessageIcon::Error, errorTitle, path + u" has fewer than three lines");
        return Outcome::Failed;
    }
    if (!isPlainProductId(lines[0])) {
        ui.message(MessageIcon::Error, errorTitle,
                   path + u" has a product id with \"..\", \"/\", \"\\\", \":\" or a control "
                          u"character in it");
        return Outcome::Failed;
    }
    // Nor do the other lines hold a control character: the folder becomes a
    // path, which a zero would cut short to name some other file, and the
    // title a caption.
    for (size_t line = 1; line < 3; ++line) {
        if (hasControlCharacter(lines[line])) {
            ui.message(MessageIcon::Error, errorTitle,
                       path + u" has a control character in line " + char16_t(u'1' + line));
            return Outcome::Failed;
        }
    }

    Form1 form(files, ui, programFolder);
    // The form's first use loads it.
    ui.loadForm(form);
    form.Form_Load();
    form.setProductId(lines[0]);
    form.setFolderText(lines[1]);
    const std::u16string sourceFolder = programFolder + pathSeparator + sourceFolderName;
    if (!form.setFilesPath(sourceFolder)) {
        form.fail(u"Can't list the folder " + sourceFolder);
        return form.outcome();
    }
    form.setTitle(lines[2]);
    ui.showForm(form);
    return form.outcome();
}

} // namespace installer
