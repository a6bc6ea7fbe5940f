// The server tree and the owner-drawn drop-down list.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "platform/widgets.h"
#include "platform/win32/widget_host_win32.h"
#include "platform/win32/wide.h"

namespace orlo::platform {
namespace {

using win32::Raise;

class Win32Tree final : public win32::Win32Widget<TreeWidget> {
  public:
    Win32Tree(Form& form, WidgetEvents events) : Win32Widget(form, std::move(events)) {
        // Read-only, selection shown when unfocused, buttons on nodes with children but no lines
        // at the root, and no border.
        CreateChild(WC_TREEVIEWW, TVS_SHOWSELALWAYS | TVS_HASBUTTONS | WS_TABSTOP);
        FontChanged();
        ColorChanged();
    }

    void BeginUpdate() override {
        // Redraw is only switched off on a window marked visible: switching it back on marks it so.
        if (update_count_++ == 0 && hwnd() && (GetWindowLongW(hwnd(), GWL_STYLE) & WS_VISIBLE)) {
            SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
            redraw_stopped_ = true;
        }
    }
    void EndUpdate() override {
        if (update_count_ == 0 || --update_count_ > 0) return;
        if (redraw_stopped_) {
            redraw_stopped_ = false;
            SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
        }
        Invalidate();
    }
    void Clear() override {
        if (hwnd()) {
            clearing_ = true;
            SendMessageW(hwnd(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
            clearing_ = false;
        }
        items_.clear();
        parents_.clear();
        texts_.clear();
    }
    int AddRoot(const std::string& text) override { return Insert(-1, text); }
    int AddChild(int parent, const std::string& text) override { return Valid(parent) ? Insert(parent, text) : -1; }
    void ExpandAll() override {
        for (HTREEITEM item : items_) SendMessageW(hwnd(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    }
    int NodeCount() const override { return static_cast<int>(items_.size()); }
    std::string NodeText(int node) const override { return Valid(node) ? texts_[Index(node)] : std::string(); }
    int NodeParent(int node) const override { return Valid(node) ? parents_[Index(node)] : -1; }
    void SetTopItem(int node) override {
        if (Valid(node)) SendMessageW(hwnd(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, Item(node));
    }
    int TopItem() const override { return Next(TVGN_FIRSTVISIBLE); }
    void Select(int node) override {
        if (!hwnd()) return;
        SendMessageW(hwnd(), TVM_SELECTITEM, TVGN_CARET, Valid(node) ? Item(node) : 0);
    }
    int Selected() const override { return Next(TVGN_CARET); }
    int NodeAt(int x, int y) const override {
        if (!hwnd()) return -1;
        TVHITTESTINFO hit = {};
        hit.pt = POINT{x, y};
        auto item = reinterpret_cast<HTREEITEM>(SendMessageW(hwnd(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        return NodeOf(item);
    }
    void SetNodeStyler(std::function<std::optional<NodeStyle>(int node, bool selected)> styler) override {
        styler_ = std::move(styler);
        Invalidate();
    }
    void SetSelectionFilter(std::function<bool(int node)> allow) override { filter_ = std::move(allow); }

  protected:
    void FontChanged() override {
        if (hwnd()) SendMessageW(hwnd(), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(win32::ToColorRef(font_.color)));
    }
    void ColorChanged() override {
        if (hwnd())
            SendMessageW(hwnd(), TVM_SETBKCOLOR, 0,
                         color_ ? static_cast<LPARAM>(win32::ToColorRef(*color_)) : static_cast<LPARAM>(-1));
    }

    LRESULT OnMessage(UINT message, WPARAM, LPARAM lparam, bool& handled) override {
        if (message != win32::kReflect + WM_NOTIFY) return 0;
        auto* header = reinterpret_cast<NMHDR*>(lparam);
        switch (header->code) {
            case NM_CUSTOMDRAW:
                handled = true;
                return CustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(lparam));
            case TVN_SELCHANGINGW: {
                handled = true;
                auto* change = reinterpret_cast<NMTREEVIEWW*>(lparam);
                // Only the user's moves are asked about; the program selects what it likes.
                if (!filter_ || (change->action != TVC_BYMOUSE && change->action != TVC_BYKEYBOARD)) return FALSE;
                bool allow = true;
                try {
                    allow = filter_(NodeOf(change->itemNew.hItem));
                } catch (...) {
                }
                return allow ? FALSE : TRUE;
            }
            case TVN_SELCHANGEDW:
                handled = true;
                if (!clearing_) Raise(events_.on_change);
                return 0;
            default:
                return 0;
        }
    }

  private:
    LRESULT CustomDraw(NMTVCUSTOMDRAW& draw) {
        if (!styler_) return CDRF_DODEFAULT;
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
        const int node = NodeOf(reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec));
        const bool selected = (draw.nmcd.uItemState & CDIS_SELECTED) != 0;
        std::optional<NodeStyle> style;
        try {
            style = styler_(node, selected);
        } catch (...) {
        }
        if (!style) return CDRF_DODEFAULT;
        draw.clrText = win32::ToColorRef(style->color);
        // On a coloured tree the system's light selection would swallow the node's own colour:
        // the selection is the tree's colour lifted a little instead.
        if (selected && color_) {
            auto lift = [](std::uint8_t c) { return static_cast<std::uint8_t>(c + (255 - c) / 4); };
            draw.clrTextBk = win32::ToColorRef(Rgb{lift(color_->red), lift(color_->green), lift(color_->blue)});
        }
        if (!style->bold) return CDRF_DODEFAULT;
        FontSpec bold = font_;
        bold.bold = true;
        SelectObject(draw.nmcd.hdc, win32::FontFor(bold));
        return CDRF_NEWFONT;
    }

    int Insert(int parent, const std::string& text) {
        if (!hwnd()) return -1;
        const int id = static_cast<int>(items_.size());
        std::wstring wide = win32::Widen(text);
        TVINSERTSTRUCTW insert = {};
        insert.hParent = parent < 0 ? TVI_ROOT : items_[Index(parent)];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = wide.data();
        insert.item.lParam = id;
        auto item =
            reinterpret_cast<HTREEITEM>(SendMessageW(hwnd(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        if (!item) return -1;
        items_.push_back(item);
        parents_.push_back(parent);
        texts_.push_back(text);
        return id;
    }

    bool Valid(int node) const { return node >= 0 && node < NodeCount(); }
    static std::size_t Index(int node) { return static_cast<std::size_t>(node); }
    LPARAM Item(int node) const { return reinterpret_cast<LPARAM>(items_[Index(node)]); }

    int NodeOf(HTREEITEM item) const {
        if (!item || !hwnd()) return -1;
        TVITEMW query = {};
        query.mask = TVIF_PARAM | TVIF_HANDLE;
        query.hItem = item;
        if (!SendMessageW(hwnd(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return -1;
        const auto node = static_cast<int>(query.lParam);
        return Valid(node) && items_[Index(node)] == item ? node : -1;
    }
    int Next(UINT which) const {
        if (!hwnd()) return -1;
        return NodeOf(reinterpret_cast<HTREEITEM>(SendMessageW(hwnd(), TVM_GETNEXTITEM, which, 0)));
    }

    std::vector<HTREEITEM> items_;
    std::vector<int> parents_;
    std::vector<std::string> texts_;
    std::function<std::optional<NodeStyle>(int, bool)> styler_;
    std::function<bool(int)> filter_;
    int update_count_ = 0;
    bool redraw_stopped_ = false;
    bool clearing_ = false;
};

// Owner-drawn drop-down list. The window's height includes the dropped list; the bounds give
// the closed box.
class Win32Combo final : public win32::Win32Widget<ComboWidget> {
  public:
    Win32Combo(Form& form, WidgetEvents events) : Win32Widget(form, std::move(events)) {
        CreateChild(L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP);
    }

    void SetItems(std::vector<std::string> items) override {
        items_ = std::move(items);
        if (!hwnd()) return;
        SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
        for (const auto& item : items_)
            SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Widen(item).c_str()));
        Resize();
    }
    std::vector<std::string> Items() const override { return items_; }
    void SetItemIndex(int index) override {
        if (!hwnd()) return;
        const bool inside = index >= 0 && index < static_cast<int>(items_.size());
        SendMessageW(hwnd(), CB_SETCURSEL, inside ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
    }
    int ItemIndex() const override {
        if (!hwnd()) return -1;
        auto index = static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
        return index == CB_ERR ? -1 : index;
    }
    void SetDroppedDown(bool dropped) override {
        if (hwnd()) SendMessageW(hwnd(), CB_SHOWDROPDOWN, dropped, 0);
    }
    bool DroppedDown() const override { return hwnd() && SendMessageW(hwnd(), CB_GETDROPPEDSTATE, 0, 0) != 0; }
    void SetFlat(bool flat) override {
        flat_ = flat;
        Invalidate();
    }
    void SetButtonPicture(Bytes image) override {
        button_ = win32::Picture::Load(image);
        Invalidate();
    }
    void SetDropDownCount(int count) override {
        drop_down_count_ = std::max(count, 1);
        Resize();
    }

  protected:
    void BoundsChanged() override { Resize(); }
    void FontChanged() override { Resize(); }

    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override {
        switch (message) {
            case win32::kReflect + WM_MEASUREITEM: {
                handled = true;
                auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
                measure->itemHeight =
                    static_cast<UINT>(measure->itemID == static_cast<UINT>(-1) ? FieldHeight() : ItemHeight());
                return TRUE;
            }
            case win32::kReflect + WM_DRAWITEM:
                handled = true;
                DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
                return TRUE;
            case win32::kReflect + WM_COMMAND:
                if (HIWORD(wparam) == CBN_SELCHANGE) {
                    handled = true;
                    Raise(events_.on_change);
                }
                return 0;
            case WM_PAINT:
                if (flat_) {
                    handled = true;
                    LRESULT result = DefaultProc(message, wparam, lparam);
                    PaintFlat();
                    return result;
                }
                return 0;
            default:
                return 0;
        }
    }

  private:
    int ItemHeight() const { return std::max(win32::CharHeight(CurrentFont()) + 2, 1); }
    // The closed box's height less the combo box's own frame.
    int FieldHeight() const { return std::max(bounds_.height - 6, 1); }

    void Resize() {
        if (!hwnd()) return;
        SendMessageW(hwnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), FieldHeight());
        for (std::size_t i = 0; i < items_.size(); ++i) SendMessageW(hwnd(), CB_SETITEMHEIGHT, i, ItemHeight());
        const int rows = std::min(drop_down_count_, std::max(static_cast<int>(items_.size()), 1));
        SetWindowPos(hwnd(), nullptr, 0, 0, std::max(bounds_.width, 0),
                     std::max(bounds_.height, 0) + rows * ItemHeight() + 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void DrawItem(const DRAWITEMSTRUCT& item) const {
        HDC dc = item.hDC;
        RECT area = item.rcItem;
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        const bool disabled = (item.itemState & ODS_DISABLED) != 0;
        COLORREF back = selected ? GetSysColor(COLOR_HIGHLIGHT)
                        : color_ ? win32::ToColorRef(*color_)
                                 : GetSysColor(COLOR_WINDOW);
        win32::UniqueBrush brush(CreateSolidBrush(back));
        FillRect(dc, &area, brush.get());
        if (item.itemID == static_cast<UINT>(-1) || item.itemID >= items_.size()) return;
        const std::wstring text = win32::Widen(items_[item.itemID]);
        win32::SelectedObject font(dc, CurrentFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, disabled   ? GetSysColor(COLOR_GRAYTEXT)
                         : selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                    : win32::ToColorRef(font_.color));
        RECT text_area = area;
        text_area.left += 2;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_area,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &area);
    }

    // The flat look: a one-pixel frame and the skin's picture over the drop button.
    void PaintFlat() const {
        RECT client;
        if (!GetClientRect(hwnd(), &client)) return;
        win32::WindowDc dc(hwnd());
        if (!dc) return;
        win32::UniqueBrush frame(CreateSolidBrush(RGB(0x7F, 0x9D, 0xB9)));
        FrameRect(dc.get(), &client, frame.get());
        if (!button_) return;
        win32::CanvasGraphics canvas(dc.get());
        button_->Draw(canvas.get(), client.right - 18, client.top + 1, 17, client.bottom - client.top - 2);
    }

    std::vector<std::string> items_;
    std::unique_ptr<win32::Picture> button_;
    int drop_down_count_ = 8;
    bool flat_ = false;
};

}  // namespace

std::unique_ptr<TreeWidget> CreateTree(Form& form, WidgetEvents events) {
    return std::make_unique<Win32Tree>(form, std::move(events));
}

std::unique_ptr<ComboWidget> CreateCombo(Form& form, WidgetEvents events) {
    return std::make_unique<Win32Combo>(form, std::move(events));
}

}  // namespace orlo::platform
