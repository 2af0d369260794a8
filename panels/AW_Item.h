#pragma once
// One folding panel of the desk: a 16-pixel caption bar (AW_Label) on top and, below it, the
// attached page widget (the panel's "dialog") at (13, 21, width - 26, height - 26).
//
// Heights, in pixels: an open item is as high as its page plus 26 (50 before a page is
// attached); a closed item is 16 high, just the caption bar, and remembers the height it
// had open. The width is set by the container (its width - 4). Items are created by
// AW_Container::addItem and owned by the container; the item owns its caption bar and,
// once attached, its page. User-interface thread only.
#include "panels/TIW_Root.h"

class AW_Container;
class AW_Label;

class AW_Item : public TIW_Root
{
    Q_OBJECT
public:
    static constexpr int CaptionHeight = 16;
    static constexpr int InitialHeight = 50;
    static constexpr int PageLeft = 13;
    static constexpr int PageTop = 21;
    static constexpr int PageMargin = 26;  // page width = width - 26, height = height - 26
    static constexpr int EditorSlack = 3;  // onEditorWindowChanged keeps 3 pixels below

    // Where the keyboard focus goes after a fold or unfold.
    enum class FoldFocus {
        Page,    // focus and scroll the item into view, focus the page (or, closed, the caption)
        Caption, // focus and scroll the item into view, the keyboard focus stays on the caption
        None     // only the state and the size change: no scrolling, no activation, no focus
    };

    // Made by AW_Container::addItem; the container is the parent.
    explicit AW_Item(AW_Container* container);
    ~AW_Item() override;

    void setCaptionText(const QString& caption, const QString& hint);
    QString caption() const;
    QString hint() const;

    // Takes ownership of page (reparented to this item), shows it when the item is open and
    // sets the item's open height to the page's height + 26. The page's height is the
    // height it was given (resize, setFixedHeight), else its size hint's height. A page
    // attached before is deleted. Lays the container out again. A null page detaches and
    // deletes the old one and leaves the height as it is.
    void attachDialog(QWidget* page);
    QWidget* getAttachedDialog() const { return m_page; }

    // Folds (false) or unfolds (true); nothing happens when the state does not change.
    // open(state) is setOpen(state, FoldFocus::Page).
    void open(bool open);
    void setOpen(bool open, FoldFocus focus);
    bool isOpen() const { return m_open; }

    // The height the item has when open: its height while open, the saved height while
    // closed. savedOpenHeight() is 0 while open.
    int openHeight() const { return m_open ? height() : m_savedHeight; }
    int savedOpenHeight() const { return m_savedHeight; }

    // The caption bar's active (highlighted text) state; the container keeps at most one
    // item active after any focusItem.
    bool isActive() const;
    void setActive(bool active);

    // Asks the container to make this item the active one; with scrollIntoView it also
    // scrolls it into view and gives the keyboard focus to the page.
    void focusMe(bool scrollIntoView);

    // The page's editor needs `height` pixels: grows the item's open height to at least
    // height + 3 and lays the container out again. Never shrinks the item. A closed item
    // stays closed and opens again at the grown height.
    void onEditorWindowChanged(int height);

    // Makes the container lay itself out with its current size.
    void changeParentSize();

    // Sets the caption bar's open image without changing the state (the item keeps them
    // in step itself).
    void setLabelBitmap(bool open);

    AW_Label* label() const { return m_label; }
    AW_Container* container() const { return m_container; }

    // Gives the keyboard focus to the page's last focused control, else its first
    // focusable control, else the caption bar.
    void focusPage();

signals:
    void openChanged(bool open);
    void activeChanged(bool active);
    // The open height changed (a page attached, the editor grew).
    void openHeightChanged(int height);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class AW_Container; // places the children right after setting the geometry
    void onLabelPressed(bool byKeyboard);
    void placeChildren();
    void setOpenHeight(int height);

    AW_Container* m_container;
    AW_Label* m_label;
    QWidget* m_page = nullptr;
    bool m_open = true;
    int m_savedHeight = 0;
};
