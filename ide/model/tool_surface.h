// The list of tools a designer surface owns, with what tools take from it
// when they are made (paint and text settings, the next child ID) and the
// dialog tool that stands for the frame. The surface window paints it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ide/model/tool.h"

namespace tallow::ide {

// What the tool list tells its owner. Every member has a do-nothing default.
class ToolSurfaceWatcher {
public:
    virtual ~ToolSurfaceWatcher() = default;
    virtual void OnChangeModified() {}
    // A background tool sets the surface's size.
    virtual void OnResize(int /*width*/, int /*height*/) {}
};

// The lowest child ID a new control gets; statics and the dialog have fixed
// IDs below it.
inline constexpr int kFirstChildId = 101;
inline constexpr int kStaticChildId = 100;
inline constexpr int kDialogChildId = 99;

class ToolSurface {
public:
    explicit ToolSurface(ToolSurfaceWatcher* watcher = nullptr) : watcher_(watcher) {}

    // Settings new tools take.
    ToolPaint paint;
    TextSettings text;

    int Count() const { return static_cast<int>(tools_.size()); }
    // The tool at index, or nullptr.
    TTool* At(int index) const;
    int IndexOf(const TTool* tool) const;
    TTool* DialogTool() const { return dialogTool_; }

    // Appends the tool, gives it the surface's paint, lets it take the rest
    // (TTool::Created) and marks the surface modified.
    TTool& Add(std::unique_ptr<TTool> tool);
    // Moves the tool to index 0, or 1 when a dialog tool exists, and makes it
    // the dialog tool.
    void MakeDialogTool(TTool& tool);
    // Moves the tool to index 0, or 1 when a dialog tool already exists.
    void PutFirst(TTool& tool);
    // Removes and frees the tool; false for a tool not on the surface.
    bool Remove(TTool* tool);
    void Clear();
    // Moves the tool from one index to another (both must exist).
    void Move(int from, int to);

    // One more than the largest child ID on the surface, at least kFirstChildId.
    int NextChildId() const;

    bool Modified() const { return modified_; }
    void SetModified(bool modified);

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetSize(int width, int height);

private:
    std::vector<std::unique_ptr<TTool>> tools_;
    TTool* dialogTool_ = nullptr;
    ToolSurfaceWatcher* watcher_;
    bool modified_ = false;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace tallow::ide
