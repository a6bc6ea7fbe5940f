#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/resolutions.h"

namespace orlo {
namespace {

class FakeControl : public IControl {
  public:
    explicit FakeControl(std::string class_name) : class_name_(std::move(class_name)) {}
    std::string ClassName() const override { return class_name_; }

  private:
    std::string class_name_;
};

class FakeList : public IListControl {
  public:
    explicit FakeList(std::string class_name = std::string(kResolutionListClass), std::vector<std::string> items = {})
        : class_name_(std::move(class_name)), items_(std::move(items)) {}
    std::string ClassName() const override { return class_name_; }
    void SetItems(std::vector<std::string> items) override {
        items_ = std::move(items);
        index_ = -1;
    }
    std::vector<std::string> Items() const override { return items_; }
    int ItemIndex() const override { return index_; }
    void SetItemIndex(int index) override { index_ = (index >= 0 && index < Count()) ? index : -1; }
    std::string SelectedText() const override { return index_ >= 0 ? items_[static_cast<size_t>(index_)] : ""; }

  private:
    int Count() const { return static_cast<int>(items_.size()); }
    std::string class_name_;
    std::vector<std::string> items_;
    int index_ = -1;
};

class FakeForm : public IComponentContainer {
  public:
    template <class T>
    T* Add(std::unique_ptr<T> control) {
        T* raw = control.get();
        controls_.push_back(std::move(control));
        return raw;
    }
    int ComponentCount() const override { return static_cast<int>(controls_.size()); }
    IControl* Component(int index) const override { return controls_[static_cast<size_t>(index)].get(); }

  private:
    std::vector<std::unique_ptr<IControl>> controls_;
};

const std::vector<std::string> kExpectedEntries = {"1920x1080", "1600x1024", "1600x900", "1440x900", "1366x768",
                                                   "1280x800",  "1280x720",  "1152x864", "1024x768", "800x600"};

TEST(ParseResolution, SplitsAtTheFirstNonDigit) {
    struct Case {
        std::string_view text;
        int width, height;
    } cases[] = {
        {"1920x1080", 1920, 1080},
        {"1366x768", 1366, 768},
        {"800*600", 800, 600},
        {"", 1024, 768},
        {"x", 1024, 768},
        {"1280", 1280, 768},
        {"x720", 1024, 720},
        {"12a34b56", 12, 3456},
        {" 800 x 600", 1024, 800600},
        {"1600×900", 1600, 900},
        {"99999999999x600", 1024, 600},
        {"0x0", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(ParseResolution(c.text), (ResolutionSize{c.width, c.height}));
    }
}

TEST(LoadResolutions, SelectsTheStoredIndexOrFallsBack) {
    struct Case {
        int stored;
        int index_after, selected;
        std::string_view text;
        int width, height;
    } cases[] = {
        {8, 8, 8, "1024x768", 1024, 768}, {0, 0, 0, "1920x1080", 1920, 1080}, {4, 4, 4, "1366x768", 1366, 768},
        {9, 9, 9, "800x600", 800, 600},   {10, 8, 8, "1024x768", 1024, 768},  {1000, 8, 8, "1024x768", 1024, 768},
        {-1, -1, -1, "", 1024, 768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        FakeForm form;
        FakeList* list = form.Add(std::make_unique<FakeList>());
        LauncherSettings s;
        s.nResolutionIndex = c.stored;
        s.sResolution = "640x480";
        s.nWidth = 640;
        s.nHeight = 480;
        LoadResolutions(form, s);
        EXPECT_EQ(list->Items(), kExpectedEntries);
        EXPECT_EQ(list->ItemIndex(), c.selected);
        EXPECT_EQ(s.nResolutionIndex, c.index_after);
        EXPECT_EQ(s.sResolution, c.text);
        EXPECT_EQ(s.nWidth, c.width);
        EXPECT_EQ(s.nHeight, c.height);
    }
}

TEST(LoadResolutions, FillsEveryResolutionListAndTheLastOneDecides) {
    FakeForm form;
    FakeControl* label = form.Add(std::make_unique<FakeControl>("TuInfLable"));
    FakeList* first = form.Add(std::make_unique<FakeList>());
    FakeList* other = form.Add(std::make_unique<FakeList>("TComboBox", std::vector<std::string>{"a"}));
    FakeList* derived = form.Add(std::make_unique<FakeList>("TuResolutionComboboxEx", std::vector<std::string>{"b"}));
    FakeList* second = form.Add(std::make_unique<FakeList>());
    (void)label;
    LauncherSettings s;
    s.nResolutionIndex = 5;
    LoadResolutions(form, s);
    EXPECT_EQ(first->Items(), kExpectedEntries);
    EXPECT_EQ(second->Items(), kExpectedEntries);
    EXPECT_EQ(first->ItemIndex(), 5);
    EXPECT_EQ(second->ItemIndex(), 5);
    EXPECT_EQ(other->Items(), std::vector<std::string>{"a"});
    EXPECT_EQ(derived->Items(), std::vector<std::string>{"b"});
    EXPECT_EQ(s.sResolution, "1280x800");
    EXPECT_EQ(s.nWidth, 1280);
    EXPECT_EQ(s.nHeight, 800);
}

// A list that drops the first entry it is given: it shows which list's selection wins.
class ShiftedList : public FakeList {
  public:
    void SetItems(std::vector<std::string> items) override {
        items.erase(items.begin());
        FakeList::SetItems(std::move(items));
    }
};

TEST(LoadResolutions, TheLaterListsSelectionGivesTheText) {
    FakeForm form;
    form.Add(std::make_unique<FakeList>());
    form.Add(std::make_unique<ShiftedList>());
    LauncherSettings s;
    s.nResolutionIndex = 3;
    LoadResolutions(form, s);
    EXPECT_EQ(s.sResolution, "1366x768");

    FakeForm reversed;
    reversed.Add(std::make_unique<ShiftedList>());
    reversed.Add(std::make_unique<FakeList>());
    s.nResolutionIndex = 3;
    LoadResolutions(reversed, s);
    EXPECT_EQ(s.sResolution, "1440x900");
}

TEST(ResolutionComboboxChange, AppliesTheSelectedEntryOnly) {
    FakeList list;
    list.SetItems(kExpectedEntries);
    LauncherSettings s;
    s.sResolution = "1024x768";

    list.SetItemIndex(4);
    ResolutionComboboxChange(list, s);
    EXPECT_EQ(s.nResolutionIndex, 4);
    EXPECT_EQ(s.sResolution, "1366x768");
    EXPECT_EQ(s.nWidth, 1366);
    EXPECT_EQ(s.nHeight, 768);

    list.SetItemIndex(-1);
    ResolutionComboboxChange(list, s);
    EXPECT_EQ(s.nResolutionIndex, 4);
    EXPECT_EQ(s.sResolution, "1366x768");
    EXPECT_EQ(s.nWidth, 1366);
}

}  // namespace
}  // namespace orlo
