// Saves a document the way the development environment does (a first dialog
// renamed, a second one added, both with buttons, and the code) to the path
// given, so that the runner can run it. Exit status 0 when the file is saved.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ide/model/main_form_model.h"

namespace {

using tallow::ide::DocumentHost;
using tallow::ide::FileDialogRequest;
using tallow::ide::SaveAnswer;

// Files through the standard library; every prompt says Yes, the save
// dialog chooses the path given, the registry is left alone.
class FileHost : public DocumentHost {
public:
    explicit FileHost(std::string path) : path_(std::move(path)) {}
    SaveAnswer AskSave(const std::string&, bool) override { return SaveAnswer::Yes; }
    void ShowWarning(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    std::optional<std::string> ChooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> ChooseSaveFile(const FileDialogRequest&) override { return path_; }
    void SetTitle(const std::string&) override {}
    std::string FullPath(const std::string& path) override {
        return std::filesystem::absolute(path).string();
    }
    bool FileExists(const std::string& path) override { return std::filesystem::exists(path); }
    bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) override {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        return static_cast<bool>(in) || in.eof();
    }
    bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    }
    std::string ReadRegistryString(const std::string&, const std::string&, const std::string&) override {
        return "";
    }
    void WriteRegistryString(const std::string&, const std::string&, const std::string&,
                             const std::string&) override {}
    void EraseRegistrySection(const std::string&, const std::string&) override {}

private:
    std::string path_;
};

tallow::codec::DialogTemplate WithButton(tallow::codec::DialogTemplate dialog, uint16_t id,
                                         const char16_t* caption, uint32_t style) {
    tallow::codec::DialogItem button;
    button.style = style;
    button.x = 10, button.y = 10, button.cx = 43, button.cy = 15;
    button.id = id;
    button.windowClass = tallow::codec::NameOrOrdinal::Named(u"BUTTON");
    button.title = tallow::codec::NameOrOrdinal::Named(caption);
    dialog.items.push_back(button);
    return dialog;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: save_document FILE.cod\n");
        return 2;
    }
    FileHost host(argv[1]);
    tallow::ide::MainFormModel form(host);
    form.Document().Setup();
    form.Document().New();
    form.RenameDialog(0, "ask");
    form.SetDialogTemplate(0, WithButton(form.Dialogs()[0].dialog, 7, u"Go", 0x50030001));
    form.AddDialog();
    form.SetDialogTemplate(1, WithButton(form.Dialogs()[1].dialog, 12, u"Close", 0x50030000));
    form.Editor().SetText(
        "' saved by the document model\n"
        "print \"ask: \" + str(ask.execute()) + chr(10)\n"
        "print \"Dialog1: \" + str(Dialog1.execute()) + chr(10)\n"
        "print argv$[1] + chr(10)\n");
    return form.Document().Save() ? 0 : 1;
}
