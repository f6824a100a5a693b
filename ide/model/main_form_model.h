// The main window's document without the window: the code in the editor's
// model, the dialogs as named templates in tab order, the creation date, the
// tabs and the status texts, and the document controller that loads and
// saves them as code files. The GUI shows it; the designer surface turns a
// page's template into tools and back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codec/dialog_template.h"
#include "ide/model/document_model.h"
#include "ide/model/programmer_model.h"
#include "ide/model/template_generator.h"

namespace tallow::ide {

// One dialog of the document: its name is also its tab's and page's caption.
struct DialogPage {
    std::string name;
    codec::DialogTemplate dialog;
    bool modified = false;
};

struct CreationDate {
    int16_t year = 0, month = 0, day = 0;
    bool IsSet() const { return year != 0 || month != 0 || day != 0; }
    friend bool operator==(const CreationDate&, const CreationDate&) = default;
};

enum class RenameResult { Renamed, Reserved, Invalid };

class MainFormModel : public DocumentEvents {
public:
    // clipboard: where the editor's clipboard calls go (may be null).
    explicit MainFormModel(DocumentHost& host, ProgrammerWatcher* clipboard = nullptr);

    DocumentModel& Document() { return doc_; }
    ProgrammerModel& Editor() { return editor_; }
    const std::vector<DialogPage>& Dialogs() const { return dialogs_; }
    // A dialog's template as the designer left it; marks the page and the
    // document modified.
    void SetDialogTemplate(size_t index, codec::DialogTemplate dialog);
    const CreationDate& Created() const { return created_; }

    // The designer surface's client size in pixels and the dialog font's
    // metrics, which a new dialog's frame is made from; the window sets them.
    int surfaceWidth = 551;
    int surfaceHeight = 323;
    DialogMetrics metrics{7, 13, 18};
    // Today's date, asked when a document is saved for the first time.
    std::function<CreationDate()> today;

    // ---- tabs: 0 is the code, i >= 1 dialog i - 1
    std::vector<std::string> TabCaptions() const;
    int ActiveTab() const { return activeTab_; }
    // Ignored for an index that names no tab.
    void SelectTab(int index);
    // F6: the next tab, after the last the first.
    void SelectNextTab();
    // The dialog of the active page, or the first dialog on the code page.
    size_t CurrentDialog() const;

    // ---- dialogs
    std::vector<std::string> DialogNames() const;
    // Adds "Dialog%d" with a fresh frame at the end and selects it.
    void AddDialog();
    // Renames the dialog of that index; a reserved or invalid name changes nothing.
    RenameResult RenameDialog(size_t index, const std::string& name);
    // Deletes a dialog other than the first and selects the tab at the same
    // index or the one before; false for the first dialog or no dialog.
    bool DeleteDialog(size_t index);

    // ---- status panels
    const std::string& PositionText() const { return positionText_; }
    const std::string& ModifiedText() const { return modifiedText_; }

    // ---- document events (the document's OnClear, OnRead, OnWrite, OnChangeModified)
    void OnClear() override;
    void OnRead(const std::string& path) override;
    void OnWrite(const std::string& path) override;
    void OnChangeModified() override;

    // The document's bytes as a version-1 code file (the date as it stands),
    // and the contents from the bytes of either version; the latter throws
    // std::runtime_error with the contents' messages and then changes nothing.
    std::vector<uint8_t> EncodeCodeFile() const;
    void DecodeCodeFile(const std::vector<uint8_t>& bytes);

    // Replace All over the whole text: the number of replacements; the
    // cursor ends where it was.
    int ReplaceAll(std::string_view search, std::string_view replacement, bool matchCase);

private:
    // The editor's events: the cursor position in the status, its changes
    // into the document's modified mark, the clipboard passed on.
    class EditorEvents : public ProgrammerWatcher {
    public:
        EditorEvents(MainFormModel& form, ProgrammerWatcher* clipboard)
            : form_(form), clipboard_(clipboard) {}
        void OnCursorChange(int row, int col) override;
        void OnChangeModified() override;
        void SetClipboardText(const std::string& text) override;
        bool GetClipboardText(std::string& text) override;

    private:
        MainFormModel& form_;
        ProgrammerWatcher* clipboard_;
    };

    codec::DialogTemplate NewDialogFrame() const;
    void MarkDocumentModified() { doc_.SetModified(true); }
    void RefreshPosition();

    DocumentHost& host_;
    DocumentModel doc_;
    EditorEvents editorEvents_;
    ProgrammerModel editor_;
    std::vector<DialogPage> dialogs_;
    CreationDate created_;
    int activeTab_ = 0;
    std::string positionText_;
    std::string modifiedText_;
};

}  // namespace tallow::ide
