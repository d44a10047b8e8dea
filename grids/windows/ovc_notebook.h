#pragma once
// TOvcNotebook: tabbed pages. Tabs may fill several rows along any edge (top, right, bottom,
// left); the row of the current page is always the one next to the page area. Page changes can
// be refused by OnPageChange; hidden and disabled pages are skipped by keys and cannot be shown.
#include <QColor>
#include <QFont>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "entry/windows/ovc_base.h"
#include "grids/windows/grid_keys.h"
#include "grids/notebook_layout.h"

namespace korval {

class TOvcNotebook;

// A page: an item of its notebook's PageCollection and a child window of the notebook.
class TOvcTabPage : public TOvcCollectibleControl {
    Q_OBJECT
public:
    explicit TOvcTabPage(TOvcNotebook* notebook);
    ~TOvcTabPage() override;

    // The tab text (8-bit); '&' marks the accelerator.
    const std::string& GetCaption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool PageVisible() const { return pageVisible_; }
    void SetPageVisible(bool value);
    QColor TabColor() const { return tabColor_; }
    void SetTabColor(const QColor& value);
    QColor TextColor() const { return textColor_; }
    void SetTextColor(const QColor& value);
    TOvcNotebook* Notebook() const { return notebook_; }
    // Where the layout put the tab.
    TTabRect TabRect() const { return tabRect_; }
    int TabRow() const { return tabRow_; }
    int TabWidth() const { return tabWidth_; }

private:
    friend class TOvcNotebook;
    TOvcNotebook* notebook_;
    std::string caption_;
    bool enabled_ = true;
    bool pageVisible_ = true;
    QColor tabColor_;
    QColor textColor_;
    TTabRect tabRect_;
    int tabRow_ = 0;
    int tabWidth_ = 65;
};

class TOvcNotebook : public TOvcCustomControl {
    Q_OBJECT
public:
    explicit TOvcNotebook(QWidget* parent = nullptr);
    ~TOvcNotebook() override;

    // The pages; Add() appends one (as AddPage does, without a caption).
    TOvcCollection& PageCollection() { return *collection_; }
    // Keys become commands through this controller's tables (the form's when unset).
    TOvcController* Controller() const { return keys_.Controller(); }
    void SetController(TOvcController* controller) { keys_.SetController(controller); }

    // Appends a page; the first page becomes the current one (without events).
    TOvcTabPage* AddPage(const std::string& caption);
    // Removes and deletes a page.
    void DeletePage(int index);
    TOvcTabPage* GetPageAt(int index) const;
    int GetPageCount() const { return static_cast<int>(pages_.size()); }

    int PageIndex() const { return pager_.PageIndex(); }
    // Throws EInvalidPageIndex for a page that is missing, disabled or hidden.
    void SetPageIndex(int value);
    int DefaultPageIndex = 0;
    // Shows DefaultPageIndex as the first page (no events), as after building the form.
    void Loaded();

    bool IsPageSelectable(int index) const;
    int NextPage(int index) const;
    int PrevPage(int index) const;

    TOvcTabOrientation TabOrientation() const { return orientation_; }
    // Vertical tabs need scalable fonts: a bitmap font throws EInvalidTabFont and the
    // orientation stays.
    void SetTabOrientation(TOvcTabOrientation value);
    int TabRowCount() const { return tabRowCount_; }
    void SetTabRowCount(int value);
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int value);
    bool TabAutoHeight() const { return tabAutoHeight_; }
    void SetTabAutoHeight(bool value);
    bool OldStyle() const { return oldStyle_; }
    void SetOldStyle(bool value);
    QFont ActiveTabFont() const { return activeTabFont_; }
    void SetActiveTabFont(const QFont& value);
    bool UseActiveTabFont = true;
    QColor HighlightColor;
    QColor ShadowColor;
    bool ShadowedText = false;
    QColor TextShadowColor;
    bool PageUsesTabColor = true;
    bool TabUseDefaultColor() const { return tabUseDefaultColor_; }
    void SetTabUseDefaultColor(bool value);
    QColor Color() const { return color_; }
    void SetColor(const QColor& value);
    // Kept for forms that set it; page windows are cheap here and are never destroyed.
    bool ConserveResources = false;

    // The current layout (tab rows, rectangles) after the last relayout.
    const TTabLayout& Layout() const { return layout_; }
    void Relayout();
    // The text rectangle of a page's tab (what OnDrawTab receives).
    QRect TabTextRect(int index) const;
    // The page whose tab holds the point, -1 when none.
    int TabAt(const QPoint& pt) const;
    // Alt+letter on the form: the next page with that accelerator; true when consumed.
    bool DialogChar(char ch);
    // One editing command of the key tables (ccLeft, ccHome, ...).
    void DoCommand(int command);

    std::function<void(TOvcNotebook*, int index, const std::string& title, const QRect& r, bool enabled,
                       bool active, QPainter& painter)>
        OnDrawTab;
    std::function<void(TOvcNotebook*, int index)> OnMouseOverTab;
    std::function<void(TOvcNotebook*, int index, bool& allowChange)> OnPageChange;
    std::function<void(TOvcNotebook*, int index)> OnPageChanged;
    std::function<void(TOvcNotebook*, int index)> OnTabClick;
    std::function<void(TOvcNotebook*, int command)> OnUserCommand;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void changeEvent(QEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent*) override;

private:
    friend class TOvcTabPage;
    void PagesChanged();
    void PageAdded(TOvcTabPage* page);
    void PageGone(TOvcTabPage* page);
    void SyncPagerStates();
    void ClickTab(int index);
    void FocusFirstControl(int index);
    void CheckTabFonts(TOvcTabOrientation orientation);
    void PaintTab(QPainter& p, int index, bool active);

    std::vector<TOvcTabPage*> pages_;
    std::unique_ptr<TOvcCollection> collection_;
    TGridKeyTranslator keys_{this};
    bool destroying_ = false;
    TNotebookPager pager_;
    TTabLayout layout_;
    TOvcTabOrientation orientation_ = toTop;
    int tabRowCount_ = 0;
    int tabHeight_ = 20;
    bool tabAutoHeight_ = true;
    bool oldStyle_ = false;
    bool tabUseDefaultColor_ = true;
    QFont activeTabFont_;
    QColor color_;
    QObject* filteredWindow_ = nullptr;
};

} // namespace korval
