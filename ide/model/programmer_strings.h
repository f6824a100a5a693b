// The list-of-lines view through which the rest of the development
// environment reads and replaces the editor's text.
#pragma once

#include <string>
#include <string_view>

#include "ide/model/programmer_model.h"

namespace tallow::ide {

class TProgrammerStrings {
public:
    explicit TProgrammerStrings(ProgrammerModel& model) : model_(model) {}

    // Line i, or an empty string when there is no such line.
    const std::string& Get(int i) const { return model_.Line(i); }
    int Count() const { return model_.LineCount(); }
    // Leaves no line at all; the cursor goes to 0,0.
    void Clear() { model_.ClearLines(); }
    // When the cursor line goes, the cursor moves to the last line.
    void Delete(int i) { model_.DeleteLine(i); }
    // 0 <= i <= Count(); the lines from i move down.
    void Insert(int i, std::string text) { model_.InsertLine(i, std::move(text)); }
    void SetText(std::string_view text) { model_.SetText(text); }
    std::string GetText() const { return model_.GetText(); }

private:
    ProgrammerModel& model_;
};

}  // namespace tallow::ide
