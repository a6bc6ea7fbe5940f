// Skinned forms and their widgets, through the portable interfaces: the same tests run against
// real Win32 windows (under Wine) and against the headless widgets. What only a real window can
// show (z-order, window properties for the probe, pixels, the dialog manager) is Win32-only.
#include "platform/event_loop.h"
#include "platform/forms.h"
#include "platform/widgets.h"
#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#else
#include "platform/headless_widgets.h"
#include "platform/headless_windows.h"
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>

namespace orlo::platform {
namespace {

using namespace std::chrono_literals;

std::string UniqueClassName(const std::string& base) {
    std::random_device rd;
    return base + "_" + std::to_string(rd());
}

FormSpec SpecFor(FormRole role, const std::string& base = "TOrloWidgets") {
    FormSpec spec;
    spec.class_name = UniqueClassName(base);
    spec.caption = "Orlo";
    spec.client_width = 400;
    spec.client_height = 300;
    spec.border = FormBorder::None;
    spec.role = role;
    spec.color = Rgb{0x20, 0x30, 0x40};
    return spec;
}

Bytes ImageFile(const std::string& name) {
    std::ifstream in(std::string(ORLO_TEST_DATA) + "/images/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The user's actions: real input messages on Win32, the headless backend's own otherwise.
// Like a user, they do nothing to a hidden or disabled widget.
#ifdef _WIN32
HWND Hwnd(const Widget& widget) { return reinterpret_cast<HWND>(widget.Handle()); }
HWND Hwnd(const Form& form) { return reinterpret_cast<HWND>(form.Handle()); }

bool Reachable(HWND h) { return IsWindowVisible(h) && IsWindowEnabled(h); }

void UserClick(Widget& widget) {
    HWND h = Hwnd(widget);
    if (!Reachable(h)) return;
    RECT r;
    GetClientRect(h, &r);
    LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h, WM_LBUTTONUP, 0, at);
}

void UserType(Widget& edit, const std::string& text) {
    HWND h = Hwnd(edit);
    if (!Reachable(h)) return;
    SetFocus(h);
    for (char c : text) {
        if (c == '\r') SendMessageW(h, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageW(h, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 0);
    }
}

// The user moves the tree's selection one node down (the node shown below the selected one).
void UserSelectBelow(TreeWidget& tree, int /*expected_node*/) {
    HWND h = Hwnd(tree);
    if (!Reachable(h)) return;
    SetFocus(h);
    SendMessageW(h, WM_KEYDOWN, VK_DOWN, 0);
}

void UserCloses(Form& form) { SendMessageW(Hwnd(form), WM_CLOSE, 0, 0); }
#else
void UserClick(Widget& widget) { HeadlessClick(widget); }
void UserType(Widget& edit, const std::string& text) { HeadlessType(edit, text); }
void UserSelectBelow(TreeWidget& tree, int expected_node) { HeadlessUserSelect(tree, expected_node); }
void UserCloses(Form& form) { HeadlessClose(form.Handle()); }
#endif

class WidgetsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = CreateForm(SpecFor(FormRole::Skinned), {});
        ASSERT_NE(form->Handle(), 0u);
        form->Show();
    }
    std::unique_ptr<Form> form;
};

struct Kind {
    const char* name;
    std::function<std::unique_ptr<Widget>(Form&, WidgetEvents)> create;
    bool has_text;
};

const Kind kKinds[] = {
    {"image button", [](Form& f, WidgetEvents e) { return CreateImageButton(f, std::move(e)); }, false},
    {"label", [](Form& f, WidgetEvents e) { return CreateLabel(f, std::move(e)); }, true},
    {"image", [](Form& f, WidgetEvents e) { return CreateImage(f, std::move(e)); }, false},
    {"edit", [](Form& f, WidgetEvents e) { return CreateEdit(f, std::move(e)); }, true},
    {"tree", [](Form& f, WidgetEvents e) { return CreateTree(f, std::move(e)); }, false},
    {"combo", [](Form& f, WidgetEvents e) { return CreateCombo(f, std::move(e)); }, false},
    {"progress", [](Form& f, WidgetEvents e) { return CreateProgress(f, std::move(e)); }, false},
    {"browser", [](Form& f, WidgetEvents e) { return CreateBrowser(f, std::move(e)); }, false},
    {"flat button", [](Form& f, WidgetEvents e) { return CreateFlatButton(f, std::move(e)); }, true},
    {"check box", [](Form& f, WidgetEvents e) { return CreateCheckBox(f, std::move(e)); }, true},
    {"push button", [](Form& f, WidgetEvents e) { return CreatePushButton(f, std::move(e)); }, true},
    {"bevel", [](Form& f, WidgetEvents e) { return CreateBevel(f, std::move(e)); }, false},
};

TEST_F(WidgetsTest, EveryKindKeepsBoundsVisibilityEnablingTextFontAndColour) {
    const FontSpec font{"宋体", -12, Rgb{0xFF, 0xFF, 0x00}, true, false, true, false};
    for (const auto& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        auto widget = kind.create(*form, {});
        ASSERT_NE(widget, nullptr);
        EXPECT_NE(widget->Handle(), 0u);
        EXPECT_TRUE(widget->Visible());
        EXPECT_TRUE(widget->Enabled());
        EXPECT_EQ(widget->Font(), FontSpec{});  // the form's font, which its FormSpec left at the default

        widget->SetBounds({12, 34, 120, 28});
        EXPECT_EQ(widget->GetBounds(), (Bounds{12, 34, 120, 28}));
        widget->SetVisible(false);
        EXPECT_FALSE(widget->Visible());
        widget->SetVisible(true);
        EXPECT_TRUE(widget->Visible());
        widget->SetEnabled(false);
        EXPECT_FALSE(widget->Enabled());
        widget->SetEnabled(true);
        EXPECT_TRUE(widget->Enabled());
        widget->SetFont(font);
        EXPECT_EQ(widget->Font(), font);
        EXPECT_EQ(widget->Color(), std::nullopt);
        widget->SetColor(Rgb{0, 0, 0});
        EXPECT_EQ(widget->Color(), (Rgb{0, 0, 0}));
        widget->SetColor(std::nullopt);
        EXPECT_EQ(widget->Color(), std::nullopt);
        widget->SetName("TuStartBtton1");
        widget->SetCursor(Cursor::Hand);
        if (kind.has_text) {
            for (const std::string text : {"开始游戏", "", "a & b"}) {
                widget->SetText(text);
                EXPECT_EQ(widget->Text(), text);
            }
        }
    }
}

TEST(WidgetOutlivingItsForm, AnswersQuietly) {
    auto form = CreateForm(SpecFor(FormRole::Skinned), {});
    auto label = CreateLabel(*form, {});
    auto image = CreateImage(*form, {});
    image->SetPicture(ImageFile("alpha_3x2.png"), {});
    form.reset();
    label->SetText("gone");
    label->SetBounds({1, 2, 3, 4});
    label->SetVisible(true);
    image->SetDrawnByBackdrop(true);
    (void)label->Text();
}

TEST_F(WidgetsTest, WidgetsTakeTheFormsFont) {
    FormSpec spec = SpecFor(FormRole::Plain);
    spec.font = FontSpec{"Tahoma", -13, Rgb{1, 2, 3}};
    auto dialog = CreateForm(spec, {});
    auto label = CreateLabel(*dialog, {});
    EXPECT_EQ(label->Font(), spec.font);
}

TEST(ImageSize, ReadsThePixelSizeOfEachPictureKind) {
    struct Case {
        const char* file;
        int width, height;
    };
    const Case cases[] = {{"alpha_3x2.png", 3, 2},
                          {"two_frames_4x3.gif", 4, 3},
                          {"blue_5x4.bmp", 5, 4},
                          {"green_6x5.jpg", 6, 5},
                          {"red_16.ico", 16, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Bytes bytes = ImageFile(c.file);
        ASSERT_FALSE(bytes.empty());
        auto size = ImageSize(bytes);
        ASSERT_TRUE(size.has_value());
        EXPECT_EQ(*size, std::pair(c.width, c.height));
    }
}

TEST(ImageSize, RefusesWhatIsNoPicture) {
    Bytes png = ImageFile("alpha_3x2.png");
    std::mt19937 random(7);
    Bytes noise(1 << 20);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {{"empty", {}},
                          {"text", Bytes{'h', 'e', 'l', 'l', 'o'}},
                          {"signature only", Bytes(png.begin(), png.begin() + 8)},
                          {"cut before the size", Bytes(png.begin(), png.begin() + 16)},
                          {"a mebibyte of noise", noise}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ImageSize(c.bytes), std::nullopt);
    }
}

#ifdef _WIN32
TEST(ImageSize, ReadsAnEnhancedMetafile) {
    auto size = ImageSize(ImageFile("red_40x30.emf"));
    ASSERT_TRUE(size.has_value());
    // Its frame is in hundredths of a millimetre; pixels come back within rounding.
    EXPECT_NEAR(size->first, 40, 1);
    EXPECT_NEAR(size->second, 30, 1);
}
#endif

TEST_F(WidgetsTest, ImageKnowsItsPictureSize) {
    auto image = CreateImage(*form, {});
    EXPECT_EQ(image->PictureSize(), std::nullopt);
    image->SetPicture(ImageFile("two_frames_4x3.gif"), {});
    EXPECT_EQ(image->PictureSize(), std::pair(4, 3));
    image->SetPicture(Bytes{1, 2, 3}, {true, true, true});
    EXPECT_EQ(image->PictureSize(), std::nullopt);
}

TEST_F(WidgetsTest, ImageDrawnByTheBackdropIsHiddenHereUntilHandedBack) {
    auto image = CreateImage(*form, {});
    image->SetPicture(ImageFile("alpha_3x2.png"), {});
    image->SetDrawnByBackdrop(true);
    EXPECT_FALSE(image->Visible());
    image->SetDrawnByBackdrop(false);
    EXPECT_TRUE(image->Visible());
}

TEST_F(WidgetsTest, TreeKeepsNodesSelectionAndTopItem) {
    int changes = 0;
    auto tree = CreateTree(*form, WidgetEvents{.on_change = [&] { ++changes; }});
    tree->SetBounds({0, 0, 200, 60});
    tree->BeginUpdate();
    tree->Clear();
    const int group1 = tree->AddRoot("电信一区");
    const int s1 = tree->AddChild(group1, "龙城 (推荐)");
    const int s2 = tree->AddChild(group1, "风云");
    const int group2 = tree->AddRoot("网通一区");
    const int s3 = tree->AddChild(group2, "雷霆");
    for (const char* more : {"4", "5", "6"}) tree->AddChild(group2, more);  // enough rows to scroll
    EXPECT_EQ(tree->AddChild(99, "nowhere"), -1);
    tree->ExpandAll();
    tree->EndUpdate();

    EXPECT_EQ(tree->NodeCount(), 8);
    EXPECT_EQ(tree->NodeText(s1), "龙城 (推荐)");
    EXPECT_EQ(tree->NodeText(99), "");
    EXPECT_EQ(tree->NodeParent(s3), group2);
    EXPECT_EQ(tree->NodeParent(group1), -1);
    EXPECT_EQ(tree->Selected(), -1);

    tree->Select(s2);
    EXPECT_EQ(tree->Selected(), s2);
    EXPECT_GE(changes, 1);
    tree->SetTopItem(group2);
    EXPECT_EQ(tree->TopItem(), group2);
    EXPECT_EQ(tree->NodeAt(5, 10000), -1);

    tree->Clear();
    EXPECT_EQ(tree->NodeCount(), 0);
    EXPECT_EQ(tree->Selected(), -1);
    EXPECT_EQ(tree->TopItem(), -1);
}

TEST_F(WidgetsTest, TreeSelectionFilterRefusesTheUsersMoveButNotTheProgramsOwn) {
    auto tree = CreateTree(*form, {});
    tree->SetBounds({0, 0, 200, 120});
    const int group = tree->AddRoot("group");
    const int a = tree->AddChild(group, "a");
    const int b = tree->AddChild(group, "b");
    tree->ExpandAll();
    std::vector<int> asked;
    bool allow = false;
    tree->SetSelectionFilter([&](int node) {
        asked.push_back(node);
        return allow;
    });
    tree->Select(a);  // the program's own choice is not asked about
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_TRUE(asked.empty());

    UserSelectBelow(*tree, b);
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_EQ(asked, std::vector<int>{b});

    allow = true;
    UserSelectBelow(*tree, b);
    EXPECT_EQ(tree->Selected(), b);
}

TEST_F(WidgetsTest, ComboKeepsItemsAndIndexWithoutRaisingChangeForTheProgram) {
    int changes = 0;
    auto combo = CreateCombo(*form, WidgetEvents{.on_change = [&] { ++changes; }});
    combo->SetBounds({10, 10, 150, 22});
    EXPECT_EQ(combo->ItemIndex(), -1);
    const std::vector<std::string> items = {"800*600", "1024*768", "全屏"};
    combo->SetItems(items);
    EXPECT_EQ(combo->Items(), items);
    for (int index : {2, 0, -1, 3, 1}) {
        SCOPED_TRACE(index);
        combo->SetItemIndex(index);
        EXPECT_EQ(combo->ItemIndex(), index >= 0 && index < 3 ? index : -1);
    }
    EXPECT_EQ(changes, 0);
    combo->SetItems({});
    EXPECT_TRUE(combo->Items().empty());
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetFlat(true);
    combo->SetButtonPicture(ImageFile("blue_5x4.bmp"));
    combo->SetDropDownCount(4);
}

TEST_F(WidgetsTest, EditSwallowsEnter) {
    int changes = 0;
    auto edit = CreateEdit(*form, WidgetEvents{.on_change = [&] { ++changes; }});
    edit->SetBounds({10, 10, 150, 24});
    edit->SetText("");
    changes = 0;
    UserType(*edit, "ab\rc\n");
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_GE(changes, 1);
    edit->SetText("账号");
    EXPECT_EQ(edit->Text(), "账号");
}

TEST_F(WidgetsTest, EditKeepsItsHintAndKnowsItsFocus) {
    auto edit = CreateEdit(*form, {});
    auto other = CreateEdit(*form, {});
    const FontSpec hint_font{"宋体", -12, Rgb{0xC0, 0xC0, 0xC0}};
    edit->SetHint("请输入密码", hint_font);
    edit->SetPasswordChar(U'*');
    EXPECT_EQ(edit->Hint(), "请输入密码");
    edit->Focus();
    EXPECT_TRUE(edit->Focused());
    other->Focus();
    EXPECT_FALSE(edit->Focused());
}

TEST_F(WidgetsTest, ProgressKeepsItsPositionInsideTheRange) {
    auto bar = CreateProgress(*form, {});
    bar->SetStyle(ProgressStyle::Custom, Rgb{1, 2, 3}, std::nullopt, Rgb{4, 5, 6});
    bar->SetRange(0, 50);
    EXPECT_EQ(bar->Minimum(), 0);
    EXPECT_EQ(bar->Maximum(), 50);
    const std::pair<int, int> cases[] = {{20, 20}, {70, 50}, {-5, 0}, {50, 50}};
    for (auto [set, read] : cases) {
        SCOPED_TRACE(set);
        bar->SetPosition(set);
        EXPECT_EQ(bar->Position(), read);
    }
    bar->SetRange(0, 10);
    EXPECT_EQ(bar->Position(), 10);
}

TEST_F(WidgetsTest, ButtonsClickOnlyWhenTheyCan) {
    int image_clicks = 0, flat_clicks = 0;
    auto image = CreateImageButton(*form, WidgetEvents{.on_click = [&] { ++image_clicks; }});
    image->SetPictures({ImageFile("alpha_3x2.png"), {}, {}, {}});
    auto flat = CreateFlatButton(*form, WidgetEvents{.on_click = [&] { ++flat_clicks; }});
    for (Widget* w : {static_cast<Widget*>(image.get()), static_cast<Widget*>(flat.get())})
        w->SetBounds({5, 5, 60, 20});

    UserClick(*image);
    UserClick(*flat);
    EXPECT_EQ(image_clicks, 1);
    EXPECT_EQ(flat_clicks, 1);

    image->SetEnabled(false);
    flat->SetVisible(false);
    UserClick(*image);
    UserClick(*flat);
    EXPECT_EQ(image_clicks, 1);
    EXPECT_EQ(flat_clicks, 1);
}

TEST_F(WidgetsTest, CheckBoxFlipsOnClick) {
    int clicks = 0;
    auto box = CreateCheckBox(*form, WidgetEvents{.on_click = [&] { ++clicks; }});
    box->SetBounds({5, 5, 100, 20});
    EXPECT_FALSE(box->Checked());
    box->SetChecked(true);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 0);
    UserClick(*box);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 1);
}

TEST_F(WidgetsTest, BrowserIsAnAreaThatNeverFails) {
    auto browser = CreateBrowser(*form, {});
    browser->SetBounds({0, 0, 200, 100});
    browser->Navigate("http://127.0.0.1:9/");
    if (!browser->Available()) {
        EXPECT_EQ(browser->Location(), "");
    }
}

// Modal forms.

class ModalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        owner = CreateForm(SpecFor(FormRole::Plain, "TOrloModalOwner"), {});
        owner->Show();
        FormSpec spec = SpecFor(FormRole::Plain, "TOrloModal");
        spec.border = FormBorder::Dialog;
        dialog = CreateForm(spec, FormEvents{.on_close_query = [this](ModalResult r) {
                                asked.push_back(r);
                                return !refuse_cancel || r != ModalResult::Cancel;
                            }});
        // A modal run that never ends fails the test instead of hanging the run.
        deadline = MainLoop().SetTimer(10s, [this] {
            timed_out = true;
            refuse_cancel = false;
            dialog->EndModal(ModalResult::Cancel);
        });
    }
    void TearDown() override {
        MainLoop().KillTimer(deadline);
        EXPECT_FALSE(timed_out);
    }
    std::unique_ptr<Form> owner, dialog;
    std::vector<ModalResult> asked;
    bool refuse_cancel = false;
    bool timed_out = false;
    TimerId deadline = 0;
};

TEST_F(ModalTest, EndsWithTheResultAPostedTaskGives) {
    bool shown_meanwhile = false;
    MainLoop().Post([&] {
        shown_meanwhile = dialog->Visible();
        dialog->EndModal(ModalResult::Ok);
    });
    EXPECT_EQ(dialog->ShowModal(), ModalResult::Ok);
    EXPECT_TRUE(shown_meanwhile);
    EXPECT_FALSE(dialog->Visible());
    EXPECT_TRUE(owner->Visible());
}

TEST_F(ModalTest, TimersRunMeanwhile) {
    int ticks = 0;
    TimerId timer = MainLoop().SetTimer(5ms, [&] {
        if (++ticks == 3) dialog->EndModal(ModalResult::Ok);
    });
    EXPECT_EQ(dialog->ShowModal(), ModalResult::Ok);
    MainLoop().KillTimer(timer);
    EXPECT_EQ(ticks, 3);
}

TEST_F(ModalTest, PushButtonWithAResultEndsTheRun) {
    int clicks = 0;
    auto ok = CreatePushButton(*dialog, WidgetEvents{.on_click = [&] { ++clicks; }});
    ok->SetBounds({10, 10, 75, 25});
    ok->SetText("确定");
    ok->SetModalResult(ModalResult::Ok);
    MainLoop().Post([&] { UserClick(*ok); });
    EXPECT_EQ(dialog->ShowModal(), ModalResult::Ok);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ModalTest, ClosingIsCancelUnlessTheFormRefuses) {
    refuse_cancel = true;
    MainLoop().Post([&] {
        UserCloses(*dialog);
        // Asked about Cancel at the run's next turn, refused; then Ok comes.
        MainLoop().Post([&] { dialog->EndModal(ModalResult::Ok); });
    });
    EXPECT_EQ(dialog->ShowModal(), ModalResult::Ok);
    EXPECT_EQ(asked, (std::vector{ModalResult::Cancel, ModalResult::Ok}));

    refuse_cancel = false;
    asked.clear();
    MainLoop().Post([&] { UserCloses(*dialog); });
    EXPECT_EQ(dialog->ShowModal(), ModalResult::Cancel);
    EXPECT_EQ(asked, std::vector{ModalResult::Cancel});
}

// Forms.

TEST(SkinnedForm, KeepsBoundsAndRaisesMoved) {
    int moves = 0;
    auto form = CreateForm(SpecFor(FormRole::Skinned), FormEvents{.on_moved = [&] { ++moves; }});
    form->SetBounds({100, 120, 300, 200});
    EXPECT_EQ(form->GetBounds(), (Bounds{100, 120, 300, 200}));
    EXPECT_GE(moves, 1);
    form->SetClientSize(320, 240);  // no border: the client is the whole window
    EXPECT_EQ(form->GetBounds(), (Bounds{100, 120, 320, 240}));
    form->SetBorder(FormBorder::None);
    EXPECT_EQ(form->GetBounds(), (Bounds{100, 120, 320, 240}));
}

TEST(SkinnedForm, ShowingRaisesShownEachTime) {
    int shown = 0;
    auto form = CreateForm(SpecFor(FormRole::Backdrop), FormEvents{.on_shown = [&] { ++shown; }});
    form->ShowNoActivate();
    EXPECT_EQ(shown, 1);
    form->Hide();
    form->Show();
    EXPECT_EQ(shown, 2);
}

TEST(SkinnedForm, UnlockingUpdatesDoesNotShowAHiddenForm) {
    auto form = CreateForm(SpecFor(FormRole::Skinned), {});
    form->LockUpdates(true);
    form->LockUpdates(false);
    EXPECT_FALSE(form->Visible());
    form->LockUpdates(true);
    form->Show();
    form->LockUpdates(false);
    EXPECT_TRUE(form->Visible());
}

TEST(BackdropForm, ShowsLayeredPictures) {
    auto backdrop = CreateForm(SpecFor(FormRole::Backdrop, "TSplashForm_Test"), {});
    backdrop->SetBounds({50, 50, 200, 150});
    backdrop->ShowNoActivate();
    EXPECT_TRUE(backdrop->ShowLayeredImages({{0, 0, ImageFile("alpha_3x2.png")},
                                             {150, 120, ImageFile("two_frames_4x3.gif")},
                                             {190, 140, ImageFile("green_6x5.jpg")}}));
    EXPECT_TRUE(backdrop->ShowLayeredImages({}));
    EXPECT_FALSE(backdrop->ShowLayeredImages({{0, 0, Bytes{'x'}}}));
}

#ifdef _WIN32

std::wstring PropertyName(HWND h) {
    auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(GetPropW(h, L"OrloName")));
    wchar_t name[256] = {};
    if (!atom || !GlobalGetAtomNameW(atom, name, 256)) return L"";
    return name;
}

TEST_F(WidgetsTest, WindowsCarryNameAndColoursForTheProbe) {
    auto label = CreateLabel(*form, {});
    HWND h = Hwnd(*label);
    label->SetName("TuInfLable1");
    label->SetFont(FontSpec{"Tahoma", -11, Rgb{0x00, 0xFF, 0x00}});
    EXPECT_EQ(PropertyName(h), L"TuInfLable1");
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(GetPropW(h, L"OrloFontColor")), 0x0000FF00u);
    EXPECT_EQ(GetPropW(h, L"OrloColor"), nullptr);
    label->SetColor(Rgb{0, 0, 0});  // black is told from unset
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(GetPropW(h, L"OrloColor")), 0x01000000u);
    label->SetColor(Rgb{0x12, 0x34, 0x56});
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(GetPropW(h, L"OrloColor")), 0x01563412u);
    label->SetName("");
    EXPECT_EQ(PropertyName(h), L"");
}

TEST_F(WidgetsTest, LaterWidgetsLieAboveEarlierOnesAndTabInCreationOrder) {
    auto first = CreateEdit(*form, {});
    auto second = CreateEdit(*form, {});
    auto third = CreateEdit(*form, {});
    first->SetBounds({0, 0, 100, 24});
    second->SetBounds({50, 0, 100, 24});
    third->SetBounds({200, 0, 100, 24});
    EXPECT_EQ(ChildWindowFromPointEx(Hwnd(*form), POINT{75, 10}, CWP_ALL), Hwnd(*second));

    first->Focus();
    SendMessageW(Hwnd(*first), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(second->Focused());
    SendMessageW(Hwnd(*second), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(third->Focused());
    SendMessageW(Hwnd(*third), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(first->Focused());
}

TEST_F(WidgetsTest, PasswordEditHidesItsText) {
    auto edit = CreateEdit(*form, {});
    edit->SetPasswordChar(U'*');
    EXPECT_EQ(SendMessageW(Hwnd(*edit), EM_GETPASSWORDCHAR, 0, 0), L'*');
    edit->SetPasswordChar(0);
    EXPECT_EQ(SendMessageW(Hwnd(*edit), EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(WidgetsTest, TreeFindsTheNodeUnderAPoint) {
    auto tree = CreateTree(*form, {});
    tree->SetBounds({0, 0, 200, 120});
    const int group = tree->AddRoot("group");
    const int server = tree->AddChild(group, "server");
    tree->ExpandAll();
    HWND h = Hwnd(*tree);
    // Walk the rows from the top; each lies under the previous one.
    auto first = reinterpret_cast<HTREEITEM>(SendMessageW(h, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    // TVM_GETITEMRECT takes the item in the rectangle's place.
    RECT row = {};
    static_assert(sizeof row >= sizeof first);
    std::memcpy(&row, &first, sizeof first);
    ASSERT_TRUE(SendMessageW(h, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&row)));
    EXPECT_EQ(tree->NodeAt(row.left + 5, (row.top + row.bottom) / 2), group);
    EXPECT_EQ(tree->NodeAt(row.left + 5, row.bottom + (row.bottom - row.top) / 2), server);
}

// Where a see-through widget has no picture under it, it shows the form's colour; over an
// image it shows the image, even when the image itself is hidden because the backdrop draws it.
TEST_F(WidgetsTest, SeeThroughWidgetsPaintWhatLiesBeneath) {
    auto image = CreateImage(*form, {});
    image->SetBounds({0, 0, 80, 80});
    image->SetPicture(ImageFile("blue_80x80.png"), {});
    auto label = CreateLabel(*form, {});
    label->SetBounds({50, 50, 100, 20});  // half over the image, half over the bare form
    auto pixel = [&](int x, int y) {
        UpdateWindow(Hwnd(*form));
        RedrawWindow(Hwnd(*label), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(Hwnd(*label));
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(Hwnd(*label), dc);
        return c;
    };
    const COLORREF blue = RGB(0, 0, 255), form_colour = RGB(0x20, 0x30, 0x40);
    EXPECT_EQ(pixel(10, 10), blue);
    EXPECT_EQ(pixel(90, 10), form_colour);
    image->SetDrawnByBackdrop(true);
    EXPECT_EQ(pixel(10, 10), blue);
    label->SetColor(Rgb{0xFF, 0, 0});
    EXPECT_EQ(pixel(10, 10), RGB(0xFF, 0, 0));
}

TEST_F(ModalTest, OtherWindowsAreDisabledMeanwhile) {
    bool owner_enabled_meanwhile = true;
    MainLoop().Post([&] {
        owner_enabled_meanwhile = IsWindowEnabled(Hwnd(*owner)) != 0;
        dialog->EndModal(ModalResult::Ok);
    });
    EXPECT_EQ(dialog->ShowModal(), ModalResult::Ok);
    EXPECT_FALSE(owner_enabled_meanwhile);
    EXPECT_TRUE(IsWindowEnabled(Hwnd(*owner)));
}

TEST(ModalDialogManager, EnterPressesTheDefaultButtonAndEscapeTheCancelOne) {
    FormSpec spec = SpecFor(FormRole::Plain, "TOrloEnter");
    spec.border = FormBorder::Dialog;
    auto dialog = CreateForm(spec, {});
    auto edit = CreateEdit(*dialog, {});
    edit->SetBounds({10, 10, 100, 24});
    auto ok = CreatePushButton(*dialog, {});
    ok->SetModalResult(ModalResult::Ok);
    ok->SetDefault(true);
    auto cancel = CreatePushButton(*dialog, {});
    cancel->SetModalResult(ModalResult::Cancel);
    cancel->SetCancel(true);
    const std::pair<WPARAM, ModalResult> cases[] = {{VK_RETURN, ModalResult::Ok}, {VK_ESCAPE, ModalResult::Cancel}};
    for (auto [key, result] : cases) {
        SCOPED_TRACE(key);
        // The edit has the focus: it is the first in tab order.
        MainLoop().Post([key = key] { PostMessageW(GetFocus(), WM_KEYDOWN, key, 0); });
        EXPECT_EQ(dialog->ShowModal(), result);
        EXPECT_EQ(edit->Text(), "");
    }
}

TEST(SkinnedForm, BareClientAreaTakesNoHitsButTheBackdropsDoes) {
    auto skinned = CreateForm(SpecFor(FormRole::Skinned), {});
    auto backdrop = CreateForm(SpecFor(FormRole::Backdrop), {});
    for (auto* f : {skinned.get(), backdrop.get()}) {
        f->SetBounds({10, 10, 200, 100});
        f->ShowNoActivate();
    }
    const LPARAM inside = MAKELPARAM(60, 60);
    EXPECT_EQ(SendMessageW(Hwnd(*skinned), WM_NCHITTEST, 0, inside), HTNOWHERE);
    EXPECT_EQ(SendMessageW(Hwnd(*backdrop), WM_NCHITTEST, 0, inside), HTCLIENT);
    EXPECT_EQ(SendMessageW(Hwnd(*backdrop), WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
}

TEST(SkinnedForm, TransparentColourMakesAColourKeyedWindow) {
    auto form = CreateForm(SpecFor(FormRole::Skinned), {});
    form->SetTransparentColor(Rgb{0xF0, 0xF0, 0xF0});
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Hwnd(*form), &key, nullptr, &flags));
    EXPECT_EQ(key, RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
    form->SetTransparentColor(std::nullopt);
    EXPECT_FALSE(GetWindowLongW(Hwnd(*form), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(SkinnedForm, DragByTheMoveCommandEndsWithDragEnd) {
    int ends = 0;
    auto form = CreateForm(SpecFor(FormRole::Skinned), FormEvents{.on_drag_end = [&] { ++ends; }});
    form->Show();
    // The system's move loop ends when the button goes up.
    PostMessageW(Hwnd(*form), WM_LBUTTONUP, 0, 0);
    form->BeginDrag(false);
    EXPECT_EQ(ends, 1);
}

TEST(SkinnedForm, MinimisingTheApplicationMinimisesEveryVisibleFormAndFrontBringsOneBack) {
    auto backdrop = CreateForm(SpecFor(FormRole::Backdrop), {});
    auto skinned = CreateForm(SpecFor(FormRole::Skinned), {});
    auto hidden = CreateForm(SpecFor(FormRole::Plain), {});
    backdrop->Show();
    skinned->Show();
    MinimizeApplication();
    EXPECT_TRUE(IsIconic(Hwnd(*backdrop)));
    EXPECT_TRUE(IsIconic(Hwnd(*skinned)));
    EXPECT_FALSE(IsIconic(Hwnd(*hidden)));
    EXPECT_FALSE(hidden->Visible());
    skinned->BringToFront();
    EXPECT_FALSE(IsIconic(Hwnd(*skinned)));
}

#endif

}  // namespace
}  // namespace orlo::platform
