// TMainForm: the skinned main window. It has no layout of its own: at creation it reads the
// skin packed into the launcher, binds the recognised controls to the controller and from then
// on is a thin shell whose controls forward to it.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "codec/bytes.h"
#include "codec/result.h"
#include "core/controls.h"
#include "platform/forms.h"
#include "ui/skin_controls.h"

namespace orlo {
class TuClientApp;
}

namespace orlo::ui {

class TSplashForm;

// Whether the display ran at 32 bits per pixel when the skin was loaded: the backdrop then draws
// the skin's pictures.
bool& g_Display32();

struct TEmbeddedFileItem {
    std::string Path, FileName;
    bool ZLib = false, Replace = false;
};

class TMainForm : public IComponentContainer {
  public:
    // The window as it is before any skin: borderless, 867 x 461, see-through button face.
    explicit TMainForm(const std::string& title);

    platform::Form& form() const { return *form_; }
    int ComponentCount() const override { return static_cast<int>(components_.size()); }
    IControl* Component(int index) const override;
    SkinControl* Control(int index) const;
    // The control of that skin name; null when there is none.
    SkinControl* FindControl(std::string_view name) const;

    // Creates one of the registered kinds on this window; null for any other class.
    SkinControl* AddControl(std::string_view class_name);
    // A property of the skin's root object, applied to the window itself.
    bool ApplyProperty(std::string_view path, const SkinValue& value);

    bool SkinLoaded = false;
    bool TransparentColor = true;
    platform::Rgb TransparentColorValue;
    std::vector<TEmbeddedFileItem> EmbeddedFiles;

    // The backdrop takes the window's place after each drag.
    TSplashForm* Splash = nullptr;

  private:
    void DragEnded();
    std::unique_ptr<platform::Form> form_;
    platform::FontSpec font_;  // what controls start with
    std::vector<std::unique_ptr<SkinControl>> components_;
};

// The skin block as it lies in the launcher: enciphered, then compressed. The component stream
// inside, or why it cannot be had.
Result<Bytes> DecodeSkinBlock(ByteView block);

// Reads the decoded stream into the window; a fault ends reading and keeps what was created.
// The developer text of what ended it, or empty when the whole stream was read.
std::string LoadSkinComponents(TMainForm& form, ByteView stream);

// The skin block from the launcher file, at the position its profile names; empty without one.
Bytes ReadSkinBlock();

// Reading, binding and showing, in the window's order. `block` is the skin block as packed.
void LoadFromSkinData(TMainForm& form, ByteView block, TuClientApp* app);

// The binding scan alone (after the skin was read).
void BindSkinControls(TMainForm& form, TuClientApp& app);

// The tree's look per node: groups yellow, servers lime when active and red otherwise, the
// selection bold.
std::optional<platform::TreeWidget::NodeStyle> DrawServerNode(const ITreeControl& tree, int node, bool selected);

}  // namespace orlo::ui
