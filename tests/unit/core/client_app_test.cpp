#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/client_app.h"
#include "core/launcher_state.h"
#include "platform/event_loop.h"

namespace orlo {
namespace {

class FakeLabel : public ILabelControl {
  public:
    explicit FakeLabel(std::string kind = "TuInfLable") : kind_(std::move(kind)) {}
    std::string ClassName() const override { return kind_; }
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    std::string Caption() const override { return caption_; }
    void SetFontColor(TColor color) override { color_ = color; }
    TColor FontColor() const override { return color_; }

  private:
    std::string kind_;
    std::string caption_;
    TColor color_{1, 2, 3};
};

class FakeEdit : public IEditControl {
  public:
    std::string ClassName() const override { return "TuIDEdit"; }
    void SetText(const std::string& text) override { text_ = text; }
    std::string Text() const override { return text_; }
    void SetHint(const std::string& hint) override { hint_ = hint; }
    std::string Hint() const override { return hint_; }

  private:
    std::string text_;
    std::string hint_ = "请输入账号";
};

class FakeForm : public IComponentContainer {
  public:
    int ComponentCount() const override { return static_cast<int>(controls.size()); }
    IControl* Component(int index) const override { return controls[static_cast<size_t>(index)].get(); }
    std::vector<std::unique_ptr<IControl>> controls;
};

// Records the steps the object runs, in order.
struct StepLog {
    std::vector<std::string> steps;
    bool catalogue = true;

    ClientAppSteps Steps() {
        ClientAppSteps s;
        auto note = [this](const char* name) { return [this, name] { steps.push_back(name); }; };
        s.create_server_connect_list = note("server connect list");
        s.read_settings = note("read settings");
        s.load_server_list_cache = note("server list cache");
        s.load_exe_info = note("profile");
        s.compute_device_identity = note("device identity");
        s.check_server_info = [this](TuClientApp&) {
            steps.push_back("catalogue");
            return catalogue;
        };
        s.settle_game_directory = note("game directory");
        s.load_resolutions = [this](IComponentContainer*) { steps.push_back("resolutions"); };
        s.do_http = note("update run");
        s.create_desktop_shortcut = note("shortcut");
        s.save_settings = note("save settings");
        s.end_application = note("end");
        return s;
    }
};

class ClientApp : public ::testing::Test {
  protected:
    std::unique_ptr<platform::EventLoop> loop = platform::CreateEventLoop();
    StepLog log;
};

TEST_F(ClientApp, ConstructionAndDestructionRunTheirStepsInOrder) {
    g_Settings().nServerID = 77;
    {
        TuClientApp app(log.Steps(), *loop);
        EXPECT_EQ(log.steps, (std::vector<std::string>{"server connect list", "read settings", "server list cache",
                                                       "profile", "device identity"}));
        EXPECT_EQ(g_Settings().nServerID, 0) << "the server id read at construction waits for the catalogue";
        EXPECT_TRUE(app.CheckVer());
        EXPECT_FALSE(app.StartupTimer().Enabled());
        log.steps.clear();
    }
    EXPECT_EQ(log.steps, std::vector<std::string>{"save settings"});
}

TEST_F(ClientApp, StartupCheckRunsOnceFromTheOpenTimer) {
    struct Case {
        bool catalogue;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {true, {"catalogue", "game directory", "read settings", "resolutions", "update run", "shortcut"}},
        {false, {"catalogue", "game directory", "read settings", "resolutions"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.catalogue);
        log.catalogue = c.catalogue;
        TuClientApp app(log.Steps(), *loop);
        log.steps.clear();
        app.Open();
        EXPECT_TRUE(app.StartupTimer().Enabled());
        // Let the 10 ms timer fire, and give it time to fire again if it were not one-shot.
        loop->SetTimer(std::chrono::milliseconds(200), [&] { loop->Quit(); });
        loop->Run();
        EXPECT_EQ(log.steps, c.steps);
        EXPECT_FALSE(app.CheckVer());
        EXPECT_FALSE(app.StartupTimer().Enabled());
        log.steps.clear();
        loop = platform::CreateEventLoop();
    }
}

TEST_F(ClientApp, PrintColoursAndCaptionsEveryInformationLabel) {
    struct Case {
        TMessageType kind;
        TColor color;
    };
    const Case cases[] = {{mtNormal, {0, 255, 0}}, {mtError, {255, 0, 0}}, {mtWaringin, {255, 255, 0}}};
    for (int labels = 0; labels <= 2; ++labels) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(labels) + " labels, kind " + std::to_string(c.kind));
            TuClientApp app(log.Steps(), *loop);
            FakeForm form;
            form.controls.push_back(std::make_unique<FakeLabel>("TuLable"));  // an ordinary label stays as it is
            for (int i = 0; i < labels; ++i) form.controls.push_back(std::make_unique<FakeLabel>());
            app.AttachMainForm(&form);
            app.Print(c.kind, "更新登陆器列表完成...");
            auto* plain = static_cast<FakeLabel*>(form.controls[0].get());
            EXPECT_EQ(plain->Caption(), "");
            for (int i = 1; i <= labels; ++i) {
                auto* label = static_cast<FakeLabel*>(form.controls[static_cast<size_t>(i)].get());
                EXPECT_EQ(label->Caption(), "更新登陆器列表完成...");
                EXPECT_EQ(label->FontColor(), c.color);
            }
        }
    }
}

TEST_F(ClientApp, PrintWithoutMainWindowOnlyTraces) {
    TuClientApp app(log.Steps(), *loop);
    app.Print(mtError, "nothing to show it in");  // must not fail
    SUCCEED();
}

TEST_F(ClientApp, OpenPutsTheRememberedAccountIntoTheAccountEdit) {
    TuClientApp app(log.Steps(), *loop);
    FakeEdit account, password;
    password.SetText("stale");
    app.EditID = &account;
    app.EditPW = &password;
    g_Settings().sAccount = "张三";
    app.Open();
    EXPECT_EQ(account.Text(), "张三");
    EXPECT_EQ(account.Hint(), "");
    EXPECT_EQ(password.Text(), "");
    g_Settings().sAccount.clear();
}

TEST_F(ClientApp, ReleasingTheLastReferenceDestroysAndSaves) {
    SetClientApp(std::make_shared<TuClientApp>(log.Steps(), *loop));
    ASSERT_NE(g_ClientApp(), nullptr);
    log.steps.clear();
    ReleaseClientApp();
    EXPECT_EQ(g_ClientApp(), nullptr);
    EXPECT_EQ(log.steps, std::vector<std::string>{"save settings"});
}

}  // namespace
}  // namespace orlo
