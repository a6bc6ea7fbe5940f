#include "platform/forms.h"
#include "platform/windows_list.h"
#ifndef _WIN32
#include "platform/headless_windows.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace orlo::platform {
namespace {

// Class names are process- and desktop-wide: a name of its own keeps each test apart from
// other test processes running at the same time.
std::string UniqueClassName(const std::string& base) {
    std::random_device rd;
    return base + "_" + std::to_string(rd());
}

FormSpec Spec(const std::string& class_name, const std::string& caption = "Orlo") {
    FormSpec spec;
    spec.class_name = class_name;
    spec.caption = caption;
    spec.client_width = 320;
    spec.client_height = 200;
    return spec;
}

bool Contains(const std::vector<WindowHandle>& list, WindowHandle h) {
    return std::find(list.begin(), list.end(), h) != list.end();
}

TEST(Form, IsCreatedHiddenAndShowsAndHides) {
    auto form = CreateForm(Spec(UniqueClassName("TOrloTestForm")), {});
    ASSERT_NE(form->Handle(), 0u);
    EXPECT_FALSE(form->Visible());
    form->Show();
    EXPECT_TRUE(form->Visible());
    form->Minimize();
    EXPECT_TRUE(form->Visible());  // minimised windows are still visible ones
    form->Hide();
    EXPECT_FALSE(form->Visible());
}

TEST(Form, EveryBorderKindMakesAWindow) {
    struct Case {
        FormBorder border;
        bool minimize_box;
        bool centred;
        bool on_taskbar;
    };
    const Case cases[] = {{FormBorder::Single, true, true, true},
                          {FormBorder::Single, false, false, false},
                          {FormBorder::None, false, true, false},
                          {FormBorder::None, false, false, false},
                          {FormBorder::Dialog, false, true, false}};
    const std::string class_name = UniqueClassName("TOrloBorders");
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.border));
        auto spec = Spec(class_name);
        spec.border = c.border;
        spec.minimize_box = c.minimize_box;
        spec.centred = c.centred;
        spec.on_taskbar = c.on_taskbar;
        auto form = CreateForm(spec, {});
        ASSERT_NE(form->Handle(), 0u);
        form->Show();
        EXPECT_TRUE(form->Visible());
    }
}

TEST(Form, CaptionRoundTripsUnicode) {
    for (const std::string caption : {"", "Orlo", "传奇登陆器 - 测试", "G clef 𝄞"}) {
        SCOPED_TRACE(caption);
        auto form = CreateForm(Spec(UniqueClassName("TOrloCaption"), caption), {});
        EXPECT_EQ(form->Caption(), caption);
        form->SetCaption(caption + " 二");
        EXPECT_EQ(form->Caption(), caption + " 二");
    }
}

TEST(WindowsOfClass, FindsFormsByExactClassNameUntilDestroyed) {
    const std::string class_name = UniqueClassName("TSplashForm_Login_Test");
    auto first = CreateForm(Spec(class_name), {});
    auto second = CreateForm(Spec(class_name), {});
    auto other = CreateForm(Spec(class_name + "X"), {});
    first->Show();  // hidden and visible windows are both found

    auto found = TopLevelWindowsOfClass(class_name);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_TRUE(Contains(found, first->Handle()));
    EXPECT_TRUE(Contains(found, second->Handle()));
    for (const std::string& near : {class_name.substr(0, class_name.size() - 1), class_name + "X ",
                                    std::string("tsplashform_login_test") + class_name.substr(22), std::string()}) {
        SCOPED_TRACE(near);
        EXPECT_FALSE(Contains(TopLevelWindowsOfClass(near), first->Handle()));
    }

    const WindowHandle gone = first->Handle();
    first.reset();
    found = TopLevelWindowsOfClass(class_name);
    EXPECT_FALSE(Contains(found, gone));
    EXPECT_TRUE(Contains(found, second->Handle()));
}

TEST(WindowsOfClass, BringingToFrontShowsAHiddenOrMinimisedWindow) {
    auto form = CreateForm(Spec(UniqueClassName("TOrloFront")), {});
    BringWindowToFront(form->Handle());
    EXPECT_TRUE(form->Visible());
    form->Minimize();
    BringWindowToFront(form->Handle());
    EXPECT_TRUE(form->Visible());
#ifndef _WIN32
    EXPECT_FALSE(HeadlessMinimized(form->Handle()));
    EXPECT_EQ(HeadlessFrontWindow(), form->Handle());
#endif
}

#ifndef _WIN32
TEST(HeadlessForm, ClosingRunsTheHandlerOrElseHides) {
    int closes = 0;
    auto handled = CreateForm(Spec("TOrloClose"), FormEvents{[&] { ++closes; }});
    auto plain = CreateForm(Spec("TOrloClose"), {});
    handled->Show();
    plain->Show();
    HeadlessClose(handled->Handle());
    HeadlessClose(plain->Handle());
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(handled->Visible());  // the owner decides what closing means
    EXPECT_FALSE(plain->Visible());
}

TEST(HeadlessForm, CloseHandlerMayDestroyTheForm) {
    std::unique_ptr<Form> form;
    form = CreateForm(Spec("TOrloClose"), FormEvents{[&] { form.reset(); }});
    const WindowHandle handle = form->Handle();
    HeadlessClose(handle);
    EXPECT_EQ(form, nullptr);
    EXPECT_FALSE(Contains(TopLevelWindowsOfClass("TOrloClose"), handle));
}
#endif

}  // namespace
}  // namespace orlo::platform
