#pragma once
// Form elements: what every element has (TBasePgCtrl), elements that are drawn
// and typed into (TVisualPgCtrl), elements without a visible body
// (TNonVisualPgCtrl) and the button that stands for one while designing
// (TSimNonVisualPgCtrl). Element kinds derive from these in their plug-ins.

#include "CColor.h"
#include "CComponent.h"
#include "CGlobalMessages.h"
#include "CMessages.h"
#include "CPrinterPage.h"
#include "CPropGroupOwner.h"
#include "CPublished.h"
#include "CVeloraTypes.h"
#include "CWYSIWYGEngine.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <memory>

class QPainter;
class TPrinterPage;
class TPropHelper;
class TPropGroupBorder;
struct TValidationCheck;
class TPropGroupCharacter;
class TPropGroupFill;
class TPropGroupGeneral;
class TPropGroupPad;
class TPropGroupParagraph;
class TPropGroupPosSize;
class TPropGroupTABOn;
class TPropGroupValidation;
class TUndoRedo;

// One row of the element kind table.
struct TPlugInKind
{
    int Kind;
    const char *ClassName;
    const char *Hint;
    const char *PaletteGroup;
    int SortGroup;
};
extern const TPlugInKind CGLOBAL_PLUGINS[32];
// Null when the kind is not in the table.
const TPlugInKind *GlobalPlugInKind(int kind);

class TBasePgCtrl : public QWidget,
                    public TComponent,
                    public TMessageTarget,
                    public TPrinterPageElement
{
    Q_OBJECT
    // The control's bounds come first in the stream; readers take any order.
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_CLASSINFO("Default:Tag", "0")
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
    Q_CLASSINFO("Default:Cursor", "0")
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int HelpContext READ HelpContext WRITE SetHelpContext)
    Q_CLASSINFO("Default:HelpContext", "0")
    Q_PROPERTY(Extended BaseRelHeight READ BaseRelHeight WRITE SetBaseRelHeight)
    Q_CLASSINFO("Default:BaseRelHeight", "nodefault")
    Q_PROPERTY(Extended BaseRelLeft READ BaseRelLeft WRITE SetBaseRelLeft)
    Q_CLASSINFO("Default:BaseRelLeft", "nodefault")
    Q_PROPERTY(Extended BaseRelTop READ BaseRelTop WRITE SetBaseRelTop)
    Q_CLASSINFO("Default:BaseRelTop", "nodefault")
    Q_PROPERTY(Extended BaseRelWidth READ BaseRelWidth WRITE SetBaseRelWidth)
    Q_CLASSINFO("Default:BaseRelWidth", "nodefault")
    Q_PROPERTY(int ClassTypeID READ ClassTypeID STORED false)

public:
    explicit TBasePgCtrl(TComponent *owner);
    ~TBasePgCtrl() override;

    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int v) { setGeometry(v, y(), width(), height()); }
    void SetTop(int v) { setGeometry(x(), v, width(), height()); }
    void SetWidth(int v) { setGeometry(x(), y(), v, height()); }
    void SetHeight(int v) { setGeometry(x(), y(), width(), v); }
    int Cursor() const { return m_cursor; }
    void SetCursor(int cursor) { m_cursor = cursor; }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString &hint) { setToolTip(hint); }
    int HelpContext() const { return m_helpContext; }
    void SetHelpContext(int v) { m_helpContext = v; }

    Extended BaseRelHeight() const { return m_relHeight; }
    Extended BaseRelLeft() const { return m_relLeft; }
    Extended BaseRelTop() const { return m_relTop; }
    Extended BaseRelWidth() const { return m_relWidth; }
    void SetBaseRelHeight(Extended v) { m_relHeight = v; }
    void SetBaseRelLeft(Extended v) { m_relLeft = v; }
    void SetBaseRelTop(Extended v) { m_relTop = v; }
    void SetBaseRelWidth(Extended v) { m_relWidth = v; }

    // The element's text is its default text.
    QString Text() const { return m_text; }
    virtual void SetText(const QString &text);

    // Filled on first use: only the designer's inspector asks, and documents hold
    // thousands of elements.
    TPropHelper *PropHelper() const;
    // The page surface the element sits on, or null while unplaced.
    TPrinterPage *ParentPage() const;

    void SetName(const QString &name) override;
    void AfterConstruction() override;

    // Kinds that follow other elements' texts (calculation boxes) turn this on:
    // a text change (0x8403) is passed on to them alone, not to every element,
    // so typing costs the same in a form of any size. A rename (0x8409) reaches
    // them as well.
    void SetFollowsTextChanges(bool follow);
    bool FollowsTextChanges() const;
    // Sends the text-change message to the followers on a page; the last result.
    static std::intptr_t NotifyTextFollowers(std::uintptr_t element);

    // Virtual operations, in the order element kinds know them.
    using TUpdateMethod = void (TBasePgCtrl::*)(QWidget *control, const QString &value);
    virtual void ApplyPropChange(TUpdateMethod update, const QString &value);
    virtual void HintUpdate(QWidget *control, const QString &value);
    virtual void TextUpdate(QWidget *control, const QString &value);
    virtual void AddRemovePropHelperInf(TPropHelper *helper);
    virtual void CalcRelBounds(bool left, bool top, bool a, bool b, bool height, bool width);
    virtual int ClassTypeID() const { return -1; }
    virtual void DoPaint(const QRect &rect, QPainter &canvas, bool onScreen);
    virtual void *GetData(int index);
    virtual QString GetPlugInHint() const;
    virtual QString GetPlugInPaletteGroupName() const;
    virtual int HlpCtx(const QString &propertyName);
    virtual bool IsDefaultTextSingleLine() const { return true; }
    virtual void RegisterPropertyEditors() { }
    virtual bool ShowOnPlugInPalette() const { return true; }
    // Double-click editors of the default text and the hint; false when cancelled.
    virtual bool ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value);
    virtual void UpdateBounds(const QRect &rect);

    void Dispatch(TMessage &message) override;

    // Rectangle the element occupies for relative bounds within a paper rectangle.
    QRect RelBoundsRect(const QRect &paper) const;
    void PaperRectChanged(const QRect &paper) override { UpdateBounds(RelBoundsRect(paper)); }

protected:
    void paintEvent(QPaintEvent *event) override;
    virtual void VRMSGDblClickDlgSetPropVal(TMessage &message);
    virtual void VRMSGTranslateProp(TMessage &message);

private:
    int m_tag = 0;
    int m_cursor = 0;
    int m_helpContext = 0;
    QString m_text;
    Extended m_relHeight = 0;
    Extended m_relLeft = 0;
    Extended m_relTop = 0;
    Extended m_relWidth = 0;
    TPropHelper *m_propHelper; // Qt child
    bool m_propHelperFilled = false;
};

class TVisualPgCtrl;
using TIterateCallback = std::function<bool(TBasePgCtrl *element, void *context)>;

class TVisualPgCtrl : public TBasePgCtrl, public TPropGroupOwner, public TWYSIWYGLayoutSource
{
    Q_OBJECT
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)

public:
    explicit TVisualPgCtrl(TComponent *owner);
    ~TVisualPgCtrl() override;

    void AfterConstruction() override;

    TPropGroupBorder *VisualBorderProps() const { return m_border; }
    TPropGroupCharacter *VisualCharacterProps() const { return m_character; }
    TPropGroupFill *VisualFillProps() const { return m_fill; }
    TPropGroupGeneral *VisualGeneralProps() const { return m_general; }
    TPropGroupPad *VisualPadProps() const { return m_pad; }
    TPropGroupParagraph *VisualParagraphProps() const { return m_paragraph; }
    TPropGroupPosSize *VisualPosSizeProps() const { return m_posSize; }
    TPropGroupTABOn *VisualTABOnProps() const { return m_tabOn; }
    TPropGroupValidation *VisualValidationProps() const { return m_validation; }

    int TabOrder() const { return m_tabOrder; }
    void SetTabOrder(int order) { m_tabOrder = order; }
    bool Focused() const { return m_focused; }
    // What assistive technology may be told: the text with a password's characters
    // masked, and the value as shown (of a password only its length).
    bool IsPasswordBox() const;
    QString AccessibleText() const;
    QString AccessibleValue() const;
    // Set when the element last refused its entry on leaving, cleared when it accepts one.
    bool ValidationFailed() const { return m_validationFailed; }
    void SetValidationFailed(bool failed);
    // True while the kind makes its in-place editor.
    bool CreatingEditor() const { return m_creatingEditor; }
    QWidget *Editor() const { return m_editor; }
    QRect EditArea() const { return m_editArea; }
    int SelStart() const { return m_selStart; }
    int SelLength() const { return m_selLength; }
    // Lays the text out as it will print; valid as long as the element.
    TWYSIWYGEngine *WYSIWYGEngine() const { return m_engine.get(); }
    void SetSelStart(int v) { m_selStart = v; }
    void SetSelLength(int v) { m_selLength = v; }
    // The typing history of this element; it outlives the editors and is
    // dropped before saving and when the pages are locked or unlocked.
    TUndoRedo &EditUndoRedo();
    // Exactly the characters of the text, as code points.
    static QSet<char32_t> GetCharSet(const QString &text);
    // Extra space a kind keeps inside the border (first) and inside the pad (second).
    QMargins FirstInnerMargins;
    QMargins SecondInnerMargins;

    // The element holding the run-time focus, if any.
    static TVisualPgCtrl *FocusedElement();

    // Virtual operations, in the order element kinds know them.
    virtual QList<TVisualPgCtrl *> BuildTABOrderList(int pageIndex);
    virtual TPropGroupBorder *CreateBorderProps();
    virtual TPropGroupCharacter *CreateCharacterProps();
    QWidget *CreateEdit(const QPoint &point);
    virtual TPropGroupFill *CreateFillProps();
    virtual TPropGroupGeneral *CreateGeneralProps();
    virtual TPropGroupTABOn *CreateTABOnProps();
    virtual TPropGroupValidation *CreateValidationProps();
    virtual QWidget *DoCreateEdit(const QPoint &point);
    virtual void DrawBorder(const QRect &rect, QPainter &canvas, TPropGroupBorder *border,
                            bool ellipse, bool onScreen);
    virtual void DrawFill(const QRect &rect, QPainter &canvas, TPropGroupBorder *border,
                          TPropGroupFill *fill, bool ellipse, bool onScreen);
    // The fixed-box grid; the text engine supplies the boxes.
    virtual void DrawFixedBorders(const QRect &rect, QPainter &canvas, bool onScreen);
    void DrawFixedBox(QPainter &canvas, const QRect &box, bool onScreen) override;
    // What the text engine lays out: the settings and the size on the page now.
    TWYSIWYGLayoutRequest LayoutRequest() const override;
    // The laid-out text; the text engine draws it.
    virtual void DrawText(const QRect &rect, QPainter &canvas, int first, int last, bool onScreen,
                          TColor color);
    virtual void FreeEdit();
    virtual QString GetRequired_VEM() const;
    virtual void ResetContent() { }
    virtual void SetValidationErrMsgs();
    // Raises EVeloraError with the message the user sees.
    virtual void Validate() { }
    QRect AdjRectBy(const QRect &rect, TPropGroupBorder *border, TPropGroupPad *pad,
                    bool firstMargins, bool secondMargins, bool onScreen) const;
    virtual bool Aquired(TVisualPgCtrl *&element, QString &message, bool check, int pass);
    virtual void BuildWYSIWYGInf(bool a, bool invalidate);
    void CalcEditArea();
    virtual void CalcPosSizeProps(bool left, bool top, bool a, bool b, bool height, bool width);
    void CalcRelFontSize();
    virtual bool CanFocus() const;
    virtual QString DisplayText(const QString &text) const;
    // The checks whose messages the validation message window offers.
    virtual QList<TValidationCheck> ValidationChecks() const;
    void DoValidate();
    virtual bool Filled() const { return !Text().isEmpty(); }
    virtual Qt::CursorShape GetCursor(const QPoint &point) const;
    virtual QString GetValidationHTML(int index) const;
    virtual bool HasHTMLValidation() const;
    virtual bool IsCalcField() const { return false; }
    // Every element of the owner, visual or not, until the callback answers true.
    bool IterateCtrls(const TIterateCallback &callback, void *context);
    void KillFocus();
    virtual void ReadOnlyChanged();
    virtual void RequiredChanged() { }
    TVisualPgCtrl *SelectCtrl(bool forward, int pageIndex, int current);
    void SetFocus(const QPoint &point);

    void AddRemovePropHelperInf(TPropHelper *helper) override;
    void CalcRelBounds(bool left, bool top, bool a, bool b, bool height, bool width) override;
    void DoPaint(const QRect &rect, QPainter &canvas, bool onScreen) override;
    int HlpCtx(const QString &propertyName) override;
    void UpdateBounds(const QRect &rect) override;
    void SetText(const QString &text) override;
    // What a changed text (or a changed way of showing it) does: relayout and tell the main window.
    void TextChanged();
    void Dispatch(TMessage &message) override;

    // TPropGroupOwner
    void PropGroupRepaint() override { update(); }
    void PropGroupRelayout(bool repaint) override { BuildWYSIWYGInf(true, repaint); }
    void PropGroupFontChanged() override;
    bool PropGroupIsFixedStyle() const override;
    QString PropGroupText() const override { return Text(); }
    void PropGroupSetText(const QString &text) override { SetText(text); }
    QString PropGroupHint() const override { return Hint(); }
    void PropGroupSetHint(const QString &hint) override { SetHint(hint); }
    void PropGroupReadOnlyChanged() override { ReadOnlyChanged(); }
    void PropGroupRequiredChanged() override { RequiredChanged(); }
    void PropGroupPosSizeChanged(int code) override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void VRMSGPagePaperChange(TMessage &message);

private:
    QRect ScaledRect(const QRect &rect, const QMargins &margins, bool onScreen) const;

    TPropGroupBorder *m_border = nullptr;
    TPropGroupCharacter *m_character = nullptr;
    TPropGroupFill *m_fill = nullptr;
    TPropGroupGeneral *m_general = nullptr;
    TPropGroupPad *m_pad = nullptr;
    TPropGroupParagraph *m_paragraph = nullptr;
    TPropGroupPosSize *m_posSize = nullptr;
    TPropGroupTABOn *m_tabOn = nullptr;
    TPropGroupValidation *m_validation = nullptr;
    std::unique_ptr<TWYSIWYGEngine> m_engine;
    // Made on first use: documents hold thousands of elements.
    std::unique_ptr<TUndoRedo> m_editUndoRedo;
    QPointer<QWidget> m_editor;
    QRect m_editArea;
    bool m_focused = false;
    // The text when the focus came, to tell a committed edit from a visit.
    QString m_textAtFocus;
    bool m_creatingEditor = false;
    bool m_iterating = false;
    int m_selStart = 0;
    int m_selLength = 0;
    int m_tabOrder = 0;
    bool m_validationFailed = false;
};

class TNonVisualPgCtrl : public TBasePgCtrl
{
    Q_OBJECT
public:
    explicit TNonVisualPgCtrl(TComponent *owner);
    ~TNonVisualPgCtrl() override;
    int HlpCtx(const QString &propertyName) override;
};

class TSimNonVisualPgCtrl : public QToolButton, public TComponent
{
    Q_OBJECT
    Q_PROPERTY(int ClassTypeID READ ClassTypeID)

public:
    TSimNonVisualPgCtrl(TComponent *owner, int classTypeID)
        : QToolButton(nullptr), TComponent(this, owner), m_classTypeID(classTypeID)
    { }
    int ClassTypeID() const { return m_classTypeID; }

private:
    int m_classTypeID;
};

// Whether a control can take the run-time focus.
bool GlobalCanFocus(QObject *control);
