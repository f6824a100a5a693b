// The built-in object status: a small progress window with a caption, a
// message line and a progress bar, which a script shows during long work.
// While it is shown it is the program's parent window.
#pragma once

#include <memory>

#include "expr/script_object.h"
#include "objects/status_model.h"
#include "platform/status_window.h"

namespace tallow {

class StatusWindowObject : public ScriptObject {
public:
    // Registers as "status" and makes the window, hidden, owned by the
    // program's parent window. Without a window (the system refused one)
    // show reports "Dialog not initialized!" and the rest only keeps state.
    explicit StatusWindowObject(Program& program);
    // A window still shown gives the program its parent window back.
    ~StatusWindowObject() override;

    // title and message (strings), percent and handle (read-only) are
    // properties.
    void SetStringMember(std::string_view name, std::string value) override;
    std::string GetStringMember(std::string_view name) override;
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;

    const StatusModel& Model() const { return model_; }

    // The members of its table, one per id; each reads its own parameters.
    void Show();
    void Hide();
    void SetCaption();
    void SetMessage();
    void SetPercent();

private:
    void ChangeTitle(std::string text);
    void ChangeMessage(std::string text);
    void ChangePercent(double value);

    StatusModel model_;
    std::unique_ptr<platform::StatusWindow> window_;
};

}  // namespace tallow
