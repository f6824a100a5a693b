// The tool list of a designer surface.
#include "ide/model/tool_surface.h"

#include <algorithm>

#include "ide/model/control_tool.h"

namespace tallow::ide {

TTool* ToolSurface::At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return tools_[static_cast<size_t>(index)].get();
}

int ToolSurface::IndexOf(const TTool* tool) const {
    for (int i = 0; i < Count(); ++i)
        if (tools_[static_cast<size_t>(i)].get() == tool) return i;
    return -1;
}

TTool& ToolSurface::Add(std::unique_ptr<TTool> tool) {
    TTool& added = *tool;
    added.paint = paint;
    tools_.push_back(std::move(tool));
    added.Created(*this);
    SetModified(true);
    return added;
}

void ToolSurface::PutFirst(TTool& tool) {
    int from = IndexOf(&tool);
    if (from < 0) return;
    int to = dialogTool_ != nullptr && dialogTool_ != &tool ? 1 : 0;
    Move(from, std::min(to, Count() - 1));
}

void ToolSurface::MakeDialogTool(TTool& tool) {
    PutFirst(tool);
    dialogTool_ = &tool;
}

bool ToolSurface::Remove(TTool* tool) {
    int index = IndexOf(tool);
    if (index < 0) return false;
    if (tool == dialogTool_) dialogTool_ = nullptr;
    tools_.erase(tools_.begin() + index);
    SetModified(true);
    return true;
}

void ToolSurface::Clear() {
    tools_.clear();
    dialogTool_ = nullptr;
}

void ToolSurface::Move(int from, int to) {
    if (At(from) == nullptr || At(to) == nullptr || from == to) return;
    auto first = tools_.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
}

int ToolSurface::NextChildId() const {
    int highest = kStaticChildId;
    for (const auto& tool : tools_)
        if (auto* control = dynamic_cast<const TControlTool*>(tool.get()))
            highest = std::max<int>(highest, control->childId);
    return highest + 1;
}

void ToolSurface::SetModified(bool modified) {
    if (modified == modified_) return;
    modified_ = modified;
    if (watcher_ != nullptr) watcher_->OnChangeModified();
}

void ToolSurface::SetSize(int width, int height) {
    width_ = width;
    height_ = height;
    if (watcher_ != nullptr) watcher_->OnResize(width, height);
}

}  // namespace tallow::ide
