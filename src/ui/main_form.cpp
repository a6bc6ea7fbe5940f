#include "ui/main_form.h"

#include <zlib.h>

#include "codec/blowfish_phrase.h"
#include "codec/secrets.h"
#include "core/client_app.h"
#include "core/file_reader.h"
#include "core/profile.h"
#include "core/resolutions.h"
#include "core/trace.h"
#include "launch/system_preparation.h"
#include "platform/files.h"
#include "ui/skin_classes.h"
#include "ui/skin_properties.h"
#include "ui/skin_values.h"
#include "ui/splash_form.h"

namespace orlo::ui {
namespace {

constexpr size_t kInflateChunk = 32768;
// No skin comes near this; a block that inflates further is a decompression bomb.
constexpr size_t kMaxSkinStream = size_t{64} << 20;

platform::FormSpec MainFormSpec(const std::string& title) {
    platform::FormSpec spec;
    spec.class_name = "TMainForm";
    spec.caption = title;
    spec.client_width = 867;
    spec.client_height = 461;
    spec.border = platform::FormBorder::None;
    spec.role = platform::FormRole::Skinned;
    spec.color = kButtonFace;
    spec.font = platform::FontSpec{};  // Tahoma, height -11
    return spec;
}

// The objects below the root, in stream order, each with the objects nested in it.
void CreateChildren(TMainForm& form, const std::vector<SkinObject>& children, std::vector<SkinControl*>& made) {
    for (const SkinObject& object : children) {
        SkinControl* control = form.AddControl(object.class_name);
        if (!control) return;
        made.push_back(control);
        if (!object.name.empty())
            control->ApplyProperty("Name", SkinValue{.tag = ValueTag::String, .text = object.name});
        for (const SkinProperty& p : object.properties) control->ApplyProperty(p.path, p.value);
        CreateChildren(form, object.children, made);
    }
}

bool IsButtonThatWaits(const std::string& kind) {
    return kind == "TuStartBtton" || kind == "TuRegisterButton" || kind == "TuGetBackPassButton" ||
           kind == "TuChangePassButton" || kind == "TuQQBtton" || kind == "TuWeiXinBtton";
}

void ClearIDHelp(TuEdit& edit) {
    if (edit.Hint().empty()) return;
    edit.SetHint(std::string());
    edit.SetText(std::string());
}

void RestoreHelp(TuEdit& edit) {
    if (edit.Text().empty()) edit.SetHint(edit.HelpTextDef());
}

}  // namespace

bool& g_Display32() {
    static bool display32 = false;
    return display32;
}

TMainForm::TMainForm(const std::string& title) : TransparentColorValue(kButtonFace) {
    platform::FormEvents events;
    events.on_close = [] {
        if (TuClientApp* app = g_ClientApp()) app->CloseApplication();
    };
    // The bare window moves the way a caption would.
    events.on_mouse_down = [this](int, int) { form_->BeginDrag(false); };
    events.on_drag_end = [this] { DragEnded(); };
    form_ = platform::CreateForm(MainFormSpec(title), std::move(events));
    form_->SetTransparentColor(TransparentColorValue);
}

IControl* TMainForm::Component(int index) const {
    SkinControl* control = Control(index);
    return control ? &control->AsControl() : nullptr;
}

SkinControl* TMainForm::Control(int index) const {
    return index >= 0 && index < ComponentCount() ? components_[static_cast<size_t>(index)].get() : nullptr;
}

SkinControl* TMainForm::FindControl(std::string_view name) const {
    for (const auto& c : components_)
        if (c->Name == name) return c.get();
    return nullptr;
}

SkinControl* TMainForm::AddControl(std::string_view class_name) {
    if (!IsRegisteredSkinClass(class_name)) return nullptr;
    auto control = CreateSkinControl(class_name, *form_);
    if (!control) return nullptr;
    // Controls take the window's font unless the skin gives them their own.
    control->widget().SetFont(font_);
    components_.push_back(std::move(control));
    return components_.back().get();
}

bool TMainForm::ApplyProperty(std::string_view path, const SkinValue& value) {
    if (path == "Caption") {
        auto text = AsText(value);
        if (!text) return false;
        form_->SetCaption(*text);
        return true;
    }
    if (path == "ClientWidth" || path == "ClientHeight" || path == "Width" || path == "Height") {
        auto n = AsInteger(value);
        if (!n || *n < 1 || *n > 16384) return false;
        platform::Bounds b = form_->GetBounds();
        (path == "ClientWidth" || path == "Width" ? b.width : b.height) = static_cast<int>(*n);
        form_->SetClientSize(b.width, b.height);
        return true;
    }
    if (path == "Color") {
        auto color = ColorFromValue(value);
        if (!color) return false;
        form_->SetColor(*color);
        return true;
    }
    if (path == "TransparentColor" || path == "TransparentColorValue") {
        if (path == "TransparentColor") {
            auto b = AsBool(value);
            if (!b) return false;
            TransparentColor = *b;
        } else {
            auto color = ColorFromValue(value);
            if (!color) return false;
            TransparentColorValue = *color;
        }
        form_->SetTransparentColor(TransparentColor ? std::optional(TransparentColorValue) : std::nullopt);
        return true;
    }
    if (path.substr(0, 5) == "Font.") return ApplyFontProperty(font_, path.substr(5), value);
    if (path == "BorderStyle") {
        auto ident = AsIdent(value);
        if (!ident) return false;
        form_->SetBorder(*ident == "bsNone"                                      ? platform::FormBorder::None
                         : *ident == "bsDialog"                                  ? platform::FormBorder::Dialog
                         : *ident == "bsToolWindow" || *ident == "bsSizeToolWin" ? platform::FormBorder::Tool
                                                                                 : platform::FormBorder::Single);
        return true;
    }
    if (path == "EmbeddedFiles") {
        if (value.tag != ValueTag::Collection) return false;
        for (const SkinCollectionItem& item : value.items) {
            TEmbeddedFileItem file;
            for (const SkinProperty& p : item.properties) {
                if (p.path == "Path") file.Path = AsText(p.value).value_or(std::string());
                if (p.path == "FileName") file.FileName = AsText(p.value).value_or(std::string());
                if (p.path == "ZLib") file.ZLib = AsBool(p.value).value_or(false);
                if (p.path == "Replace") file.Replace = AsBool(p.value).value_or(false);
            }
            EmbeddedFiles.push_back(std::move(file));
        }
        return true;
    }
    // Placement is the desktop centre whatever the skin says; the rest changes nothing here.
    return path == "Position" || path == "Left" || path == "Top" || path == "AlphaBlend" || path == "AlphaBlendValue" ||
           path == "PixelsPerInch" || path == "TextHeight" || path == "OldCreateOrder" || path == "Visible" ||
           path == "Name" || path.substr(0, 2) == "On";
}

void TMainForm::DragEnded() {
    if (Splash) Splash->FollowMainForm();
}

Result<Bytes> DecodeSkinBlock(ByteView block) {
    auto plain = BlowfishDecryptStream(block, secrets::kSkinPhrase);
    if (!plain) return Result<Bytes>::Fail("skin block does not decipher: " + plain.error());
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return Result<Bytes>::Fail("zlib cannot start");
    Bytes out;
    std::uint8_t chunk[kInflateChunk];
    z.next_in = const_cast<Bytef*>(plain->data());
    z.avail_in = static_cast<uInt>(plain->size());
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) break;
        out.insert(out.end(), chunk, chunk + (sizeof chunk - z.avail_out));
        if (out.size() > kMaxSkinStream) {
            rc = Z_MEM_ERROR;
            break;
        }
        if (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0) {
            rc = Z_BUF_ERROR;  // the stream ends early
            break;
        }
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END) return Result<Bytes>::Fail("skin block does not inflate (zlib " + std::to_string(rc) + ")");
    return out;
}

std::string LoadSkinComponents(TMainForm& form, ByteView stream) {
    SkinReadResult read = ReadComponentStream(stream, IsRegisteredSkinClass);
    for (const SkinProperty& p : read.root.properties) form.ApplyProperty(p.path, p.value);
    std::vector<SkinControl*> made;
    CreateChildren(form, read.root.children, made);
    for (SkinControl* control : made) control->Loaded();
    return read.complete ? std::string() : read.error;
}

Bytes ReadSkinBlock() {
    AExecutableStructure profile;
    if (!ReadProfile(profile) || profile.nSkinSize <= 0 || profile.nSkinOffset < 0) return {};
    FileReader file(platform::ExecutablePath());
    return file.ReadAt(profile.nSkinOffset, profile.nSkinSize).value_or(Bytes());
}

void LoadFromSkinData(TMainForm& form, ByteView block, TuClientApp* app) {
    g_Display32() = GetColorDepth() == 32;
    platform::Form& window = form.form();
    window.LockUpdates(true);
    window.CenterOnScreen();
    window.SetBorder(platform::FormBorder::None);
    // Any fault is the skin's: the window keeps what was made before it.
    if (auto stream = DecodeSkinBlock(block)) {
        const std::string error = LoadSkinComponents(form, *stream);
        if (!error.empty()) TraceF("skin: %s", error.c_str());
    } else if (!block.empty()) {
        TraceF("skin: %s", stream.error().c_str());
    }
    window.CenterOnScreen();
    if (app) BindSkinControls(form, *app);
    if (form.Splash) {
        form.Splash->form().SetBounds(window.GetBounds());
        form.Splash->AlginMainForm();
        form.Splash->UpdateForm();
    }
    window.LockUpdates(false);
    form.SkinLoaded = true;
    window.Show();
    window.Repaint();
}

void BindSkinControls(TMainForm& form, TuClientApp& app) {
    for (int i = 0; i < form.ComponentCount(); ++i) {
        SkinControl* control = form.Control(i);
        const std::string kind = control->AsControl().ClassName();
        if (kind == "TuWebBrowser") {
            app.WebBrowser = static_cast<TuWebBrowser*>(control);
        } else if (kind == "TuURLButton") {
            auto* button = static_cast<TuImageButton*>(control);
            if (button->URLKind == ukHomePage) {
                app.sHomePage = button->URL;
                TraceF("sHomePage (%s)", app.sHomePage.c_str());
            } else if (button->URLKind == ukPayPage) {
                app.sPayPage = button->URL;
                TraceF("sPayPage (%s)", app.sPayPage.c_str());
            } else if (button->URLKind == ukContactPage) {
                app.sContactPage = button->URL;
                TraceF("sContactPage (%s)", app.sContactPage.c_str());
            }
        } else if (IsButtonThatWaits(kind)) {
            control->AsControl().SetEnabled(false);
        } else if (kind == "TuCurProgressBar" || kind == "TuAllProgressBar") {
            auto* bar = static_cast<TuProgressBar*>(control);
            (kind == "TuCurProgressBar" ? app.FTuCurProgressBar : app.FTuAllProgressBar) = bar;
            bar->SetPosition(0);
            bar->SetRange(0, 0);
        } else if (kind == "TuInfLable") {
            auto* label = static_cast<TuLable*>(control);
            app.FTuInfLable = label;
            label->SetCaption(std::string());
        } else if (kind == "TuTreeView") {
            auto* tree = static_cast<TuTreeView*>(control);
            tree->ClearNodes();
            // The selection stays put while the client's version check runs.
            tree->OnChanging = [&app](int) { return !app.CheckVer(); };
            tree->OnChange = [] {};
            tree->OnCustomDraw = [tree](int node, bool selected) { return DrawServerNode(*tree, node, selected); };
            app.TreeView = tree;
            app.Catalogue().BindTree(tree);
        } else if (kind == "TuServerCombobox") {
            static_cast<TuCombobox*>(control)->SetItems({});
        } else if (kind == "TuResolutionCombobox") {
            auto* list = static_cast<TuCombobox*>(control);
            list->SetItems({});
            list->OnChange = [list] { ResolutionComboboxChange(*list); };
            app.ResolutionCombobox = list;
        } else if (kind == "TuIDEdit") {
            TraceF("绑定账号输入框事件");
            auto* edit = static_cast<TuEdit*>(control);
            app.EditID = edit;
            edit->OnEnter = [edit] { ClearIDHelp(*edit); };
            edit->OnExit = [edit] { RestoreHelp(*edit); };
            edit->OnChange = [] {};
        } else if (kind == "TuPWEdit") {
            TraceF("绑定密码输入框事件");
            auto* edit = static_cast<TuEdit*>(control);
            app.EditPW = edit;
            edit->OnEnter = [edit] { edit->SetHint(std::string()); };
            edit->OnExit = [edit] { RestoreHelp(*edit); };
            edit->OnChange = [] {};
        } else if (kind == "TuImage") {
            auto* image = static_cast<TuImage*>(control);
            if (g_Display32() && form.TransparentColor && image->Visible()) {
                image->w().SetDrawnByBackdrop(true);
                image->SetVisible(false);
                image->Tag = 9999;
            }
        } else if (kind == "TuPhoneBtn") {
            auto* phone = static_cast<TuPhoneBtn*>(control);
            app.PhoneBtn = phone;
            // The countdown writes into the caption and restores it from here.
            phone->Hint = phone->Caption();
        } else if (kind == "TLoginExchange") {
            app.LoginExchange = static_cast<TLoginExchange*>(control);
            app.SetLoginPasswd();
        }
    }
}

std::optional<platform::TreeWidget::NodeStyle> DrawServerNode(const ITreeControl& tree, int node, bool selected) {
    platform::TreeWidget::NodeStyle style;
    style.bold = selected;
    if (tree.NodeParent(node) < 0) {
        style.color = {0xFF, 0xFF, 0x00};
    } else if (auto* item = static_cast<TServerItem*>(tree.NodeData(node))) {
        style.color = item->FActive ? platform::Rgb{0x00, 0xFF, 0x00} : platform::Rgb{0xFF, 0x00, 0x00};
    } else {
        return selected ? std::optional(style) : std::nullopt;
    }
    return style;
}

}  // namespace orlo::ui
