#pragma once
// Property groups: the published settings of an element (or of a page), each
// group streamed as a nested object of its owner. Every change is applied to
// the owning element and then reported to it as message 0x841D with its code.

#include "CColor.h"
#include "CGlobalMessages.h"
#include "CPublished.h"
#include "CVeloraTypes.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

class TPrinterPage;
class TPropGroupOwner;

// One row of a group's help-topic table.
struct TPropHlpCtx
{
    const char *Name;
    int Topic;
};

class TPropGroup : public QObject
{
    Q_OBJECT

public:
    // The owner is the Qt parent, so the owner frees the group.
    explicit TPropGroup(QObject *owner);

    QObject *Owner() const { return m_owner; }

    // Help topic of a property of this group; 0 when it has none.
    virtual int HlpCtx(const QString &name) const;
    virtual bool PropUsed(const QString &name) const;
    void PropChanged(int code) { PropertyChanged(code); }
    // Case-insensitive lookup in a help-topic table; 0 when absent.
    static int GetHlpCtx(const QString &name, std::span<const TPropHlpCtx> table);

protected:
    // Applies a change's effect to the owner; the base reports the code to it.
    virtual void PropertyChanged(int code);

    // Null when the owner is not an element.
    TPropGroupOwner *Element() const;
    bool OwnerLoading() const;

    // The common setter: store and report only when the value differs.
    template<class T>
    void Change(T &field, const T &value, int code)
    {
        if (field == value)
            return;
        field = value;
        PropChanged(code);
    }
    // Compares the value as given but stores it rounded to two decimals, so
    // setting an unrounded value again reports again.
    void ChangeExtended(Extended &field, Extended value, int code);

private:
    QObject *m_owner;
};

class TPropGroupBorder : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor)
    Q_CLASSINFO("Default:BorderColor", "clBlack")
    Q_PROPERTY(bool BorderPublish READ BorderPublish WRITE SetBorderPublish)
    Q_CLASSINFO("Default:BorderPublish", "true")
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_CLASSINFO("Default:BorderWidth", "0")

public:
    explicit TPropGroupBorder(QObject *owner);
    TPropGroupBorder(QObject *owner, int width);

    TColor BorderColor() const { return m_color; }
    void SetBorderColor(TColor value) { Change(m_color, value, 1); }
    bool BorderPublish() const { return m_publish; }
    void SetBorderPublish(bool value) { Change(m_publish, value, 2); }
    int BorderWidth() const { return m_width; }
    void SetBorderWidth(int value);

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    TColor m_color = clBlack;
    bool m_publish = true;
    int m_width = 0;
};

class TPropGroupCharacter : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(TColor CharacterColor READ CharacterColor WRITE SetCharacterColor)
    Q_CLASSINFO("Default:CharacterColor", "clBlack")
    Q_PROPERTY(QString CharacterFont READ CharacterFont WRITE SetCharacterFont)
    Q_CLASSINFO("Default:CharacterFont", "Arial")
    Q_PROPERTY(int CharacterSize READ CharacterSize WRITE SetCharacterSize)
    Q_CLASSINFO("Default:CharacterSize", "10")
    Q_PROPERTY(
        VeloraEnums::TCharacterStyles CharacterStyle READ CharacterStyle WRITE SetCharacterStyle)
    Q_CLASSINFO("Default:CharacterStyle", "")

public:
    explicit TPropGroupCharacter(QObject *owner);

    TColor CharacterColor() const { return m_color; }
    void SetCharacterColor(TColor value) { Change(m_color, value, 1); }
    QString CharacterFont() const { return m_font; }
    void SetCharacterFont(const QString &value) { Change(m_font, value, 2); }
    int CharacterSize() const { return m_size; }
    void SetCharacterSize(int value) { Change(m_size, value, 3); }
    TCharacterStyles CharacterStyle() const { return m_style; }
    void SetCharacterStyle(TCharacterStyles value) { Change(m_style, value, 4); }

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    TColor m_color = clBlack;
    QString m_font = QStringLiteral("Arial");
    int m_size = 10;
    TCharacterStyles m_style;
};

// Element kinds subclass it for their reset settings.
class TPropGroupCommonResetForm : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(bool ResetFormCanBeReset READ ResetFormCanBeReset WRITE SetResetFormCanBeReset)
    Q_CLASSINFO("Default:ResetFormCanBeReset", "true")

public:
    explicit TPropGroupCommonResetForm(QObject *owner);

    bool ResetFormCanBeReset() const { return m_canBeReset; }
    void SetResetFormCanBeReset(bool value) { m_canBeReset = value; }

private:
    bool m_canBeReset = true;
};

class TPropGroupFill : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(TColor FillColor READ FillColor WRITE SetFillColor)
    Q_CLASSINFO("Default:FillColor", "clNone")
    Q_PROPERTY(bool FillPublish READ FillPublish WRITE SetFillPublish)
    Q_CLASSINFO("Default:FillPublish", "true")
    Q_PROPERTY(bool FillTransparent READ FillTransparent WRITE SetFillTransparent)
    Q_CLASSINFO("Default:FillTransparent", "true")

public:
    explicit TPropGroupFill(QObject *owner);
    TPropGroupFill(QObject *owner, bool transparent);

    TColor FillColor() const { return m_color; }
    void SetFillColor(TColor value) { Change(m_color, value, 1); }
    bool FillPublish() const { return m_publish; }
    void SetFillPublish(bool value) { Change(m_publish, value, 2); }
    bool FillTransparent() const { return m_transparent; }
    void SetFillTransparent(bool value) { Change(m_transparent, value, 3); }

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    TColor m_color = clNone;
    bool m_publish = true;
    bool m_transparent = true;
};

// The box grid of the fixed paragraph style, in millimetres.
class TPropGroupFixed : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupBorder *FixedBorderProps READ FixedBorderProps)
    Q_PROPERTY(TPropGroupFill *FixedFillProps READ FixedFillProps)
    Q_PROPERTY(Extended FixedHeight READ FixedHeight WRITE SetFixedHeight)
    Q_CLASSINFO("Default:FixedHeight", "5")
    Q_PROPERTY(Extended FixedHorzGap READ FixedHorzGap WRITE SetFixedHorzGap)
    Q_PROPERTY(Extended FixedVertGap READ FixedVertGap WRITE SetFixedVertGap)
    Q_PROPERTY(Extended FixedWidth READ FixedWidth WRITE SetFixedWidth)
    Q_CLASSINFO("Default:FixedWidth", "5")

public:
    explicit TPropGroupFixed(QObject *owner);

    TPropGroupBorder *FixedBorderProps() const { return m_border; }
    TPropGroupFill *FixedFillProps() const { return m_fill; }
    Extended FixedHeight() const { return m_height; }
    void SetFixedHeight(Extended value) { ChangeExtended(m_height, value, 3); }
    Extended FixedHorzGap() const { return m_horzGap; }
    void SetFixedHorzGap(Extended value) { ChangeExtended(m_horzGap, value, 4); }
    Extended FixedVertGap() const { return m_vertGap; }
    void SetFixedVertGap(Extended value) { ChangeExtended(m_vertGap, value, 5); }
    Extended FixedWidth() const { return m_width; }
    void SetFixedWidth(Extended value) { ChangeExtended(m_width, value, 6); }

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    TPropGroupBorder *m_border;
    TPropGroupFill *m_fill;
    Extended m_height = 5;
    Extended m_horzGap = 0;
    Extended m_vertGap = 0;
    Extended m_width = 5;
};

class TPropGroupGeneral : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(QString GeneralDefaultText READ GeneralDefaultText WRITE SetGeneralDefaultText)
    Q_PROPERTY(bool GeneralDisplay READ GeneralDisplay WRITE SetGeneralDisplay)
    Q_CLASSINFO("Default:GeneralDisplay", "true")
    Q_PROPERTY(QString GeneralHint READ GeneralHint WRITE SetGeneralHint)
    Q_PROPERTY(bool GeneralLocked READ GeneralLocked WRITE SetGeneralLocked)
    Q_CLASSINFO("Default:GeneralLocked", "false")
    Q_PROPERTY(bool GeneralPublish READ GeneralPublish WRITE SetGeneralPublish)
    Q_CLASSINFO("Default:GeneralPublish", "true")
    Q_PROPERTY(bool GeneralReadOnly READ GeneralReadOnly WRITE SetGeneralReadOnly)
    Q_CLASSINFO("Default:GeneralReadOnly", "false")
    Q_PROPERTY(bool GeneralRequired READ GeneralRequired WRITE SetGeneralRequired)
    Q_CLASSINFO("Default:GeneralRequired", "false")
    Q_PROPERTY(QString GeneralRestrictTo READ GeneralRestrictTo WRITE SetGeneralRestrictTo)

public:
    explicit TPropGroupGeneral(QObject *owner);

    // Text and hint are the element's own; the group only mirrors them.
    QString GeneralDefaultText() const;
    virtual void SetGeneralDefaultText(const QString &value);
    bool GeneralDisplay() const { return m_display; }
    void SetGeneralDisplay(bool value) { Change(m_display, value, 2); }
    QString GeneralHint() const;
    void SetGeneralHint(const QString &value);
    bool GeneralLocked() const { return m_locked; }
    void SetGeneralLocked(bool value) { Change(m_locked, value, 4); }
    bool GeneralPublish() const { return m_publish; }
    void SetGeneralPublish(bool value) { Change(m_publish, value, 5); }
    bool GeneralReadOnly() const { return m_readOnly; }
    void SetGeneralReadOnly(bool value) { Change(m_readOnly, value, 6); }
    bool GeneralRequired() const { return m_required; }
    void SetGeneralRequired(bool value) { Change(m_required, value, 7); }
    QString GeneralRestrictTo() const { return m_restrictTo; }
    void SetGeneralRestrictTo(const QString &value) { Change(m_restrictTo, value, 8); }

    void DirectlySetFGeneralRequired(bool value) { m_required = value; }

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    // Used only when the owner is not an element.
    QString m_text;
    QString m_hint;
    bool m_display = true;
    bool m_locked = false;
    bool m_publish = true;
    bool m_readOnly = false;
    bool m_required = false;
    QString m_restrictTo;
};

// Margins of the owner's page, read from and written to its page view.
class TPropGroupMargins : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(int MarginsBottom READ MarginsBottom WRITE SetMarginsBottom)
    Q_PROPERTY(bool MarginsDisplay READ MarginsDisplay WRITE SetMarginsDisplay)
    Q_PROPERTY(int MarginsLeft READ MarginsLeft WRITE SetMarginsLeft)
    Q_PROPERTY(int MarginsRight READ MarginsRight WRITE SetMarginsRight)
    Q_PROPERTY(int MarginsTop READ MarginsTop WRITE SetMarginsTop)

public:
    explicit TPropGroupMargins(QObject *owner);

    int MarginsBottom() const { return Margin(0); }
    void SetMarginsBottom(int value) { SetMargin(0, value, 1); }
    bool MarginsDisplay() const;
    void SetMarginsDisplay(bool value);
    int MarginsLeft() const { return Margin(1); }
    void SetMarginsLeft(int value) { SetMargin(1, value, 3); }
    int MarginsRight() const { return Margin(2); }
    void SetMarginsRight(int value) { SetMargin(2, value, 4); }
    int MarginsTop() const { return Margin(3); }
    void SetMarginsTop(int value) { SetMargin(3, value, 5); }

    int HlpCtx(const QString &name) const override;

private:
    TPrinterPage *PageView() const;
    // Index as TPrinterPage::SetMargin numbers them.
    int Margin(int index) const;
    void SetMargin(int index, int value, int code);
};

// Paper of the owner's page, read from and written to its page view; every
// change is confirmed first, since it may move the page's elements.
class TPropGroupPaper : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(int PaperHeight READ PaperHeight WRITE SetPaperHeight)
    Q_PROPERTY(VeloraEnums::TPrinterOrientation PaperOrientation READ PaperOrientation WRITE
                   SetPaperOrientation)
    Q_PROPERTY(int PaperSize READ PaperSize WRITE SetPaperSize)
    Q_PROPERTY(int PaperWidth READ PaperWidth WRITE SetPaperWidth)

public:
    explicit TPropGroupPaper(QObject *owner);

    int PaperHeight() const;
    void SetPaperHeight(int value);
    TPrinterOrientation PaperOrientation() const;
    void SetPaperOrientation(TPrinterOrientation value);
    int PaperSize() const;
    void SetPaperSize(int value);
    int PaperWidth() const;
    void SetPaperWidth(int value);

    // True when the change must not happen; resize tells whether the user
    // wants the elements resized and repositioned.
    bool PageChangePromptCancelled(bool &resize) const;

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    TPrinterPage *PageView() const;
    template<class T, class Apply>
    void ChangePaper(T current, T value, Apply apply);

    bool m_resize = false;
};

class TPropGroupPad : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(int PadBottom READ PadBottom WRITE SetPadBottom)
    Q_CLASSINFO("Default:PadBottom", "0")
    Q_PROPERTY(int PadLeft READ PadLeft WRITE SetPadLeft)
    Q_CLASSINFO("Default:PadLeft", "0")
    Q_PROPERTY(int PadRight READ PadRight WRITE SetPadRight)
    Q_CLASSINFO("Default:PadRight", "0")
    Q_PROPERTY(int PadTop READ PadTop WRITE SetPadTop)
    Q_CLASSINFO("Default:PadTop", "0")

public:
    explicit TPropGroupPad(QObject *owner);

    int PadBottom() const { return m_bottom; }
    void SetPadBottom(int value) { Change(m_bottom, value, 1); }
    int PadLeft() const { return m_left; }
    void SetPadLeft(int value) { Change(m_left, value, 2); }
    int PadRight() const { return m_right; }
    void SetPadRight(int value) { Change(m_right, value, 3); }
    int PadTop() const { return m_top; }
    void SetPadTop(int value) { Change(m_top, value, 4); }

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    int m_bottom = 0;
    int m_left = 0;
    int m_right = 0;
    int m_top = 0;
};

class TPropGroupParagraph : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(VeloraEnums::TParagraphDirection ParagraphDirection READ ParagraphDirection WRITE
                   SetParagraphDirection)
    Q_CLASSINFO("Default:ParagraphDirection", "pdAutomatic")
    Q_PROPERTY(TPropGroupFixed *ParagraphFixed READ ParagraphFixed)
    Q_PROPERTY(VeloraEnums::TAlignment ParagraphHorzAlign READ ParagraphHorzAlign WRITE
                   SetParagraphHorzAlign)
    Q_CLASSINFO("Default:ParagraphHorzAlign", "taLeftJustify")
    Q_PROPERTY(
        VeloraEnums::TParagraphStyle ParagraphStyle READ ParagraphStyle WRITE SetParagraphStyle)
    Q_CLASSINFO("Default:ParagraphStyle", "psVariable")
    Q_PROPERTY(VeloraEnums::TVerticalAlignment ParagraphVertAlign READ ParagraphVertAlign WRITE
                   SetParagraphVertAlign)
    Q_CLASSINFO("Default:ParagraphVertAlign", "taAlignTop")
    Q_PROPERTY(bool ParagraphWrap READ ParagraphWrap WRITE SetParagraphWrap)
    Q_CLASSINFO("Default:ParagraphWrap", "false")

public:
    explicit TPropGroupParagraph(QObject *owner);

    TPropGroupFixed *ParagraphFixed() const { return m_fixed; }
    TAlignment ParagraphHorzAlign() const { return m_horzAlign; }
    void SetParagraphHorzAlign(TAlignment value) { Change(m_horzAlign, value, 2); }
    TParagraphStyle ParagraphStyle() const { return m_style; }
    void SetParagraphStyle(TParagraphStyle value) { Change(m_style, value, 3); }
    TVerticalAlignment ParagraphVertAlign() const { return m_vertAlign; }
    void SetParagraphVertAlign(TVerticalAlignment value) { Change(m_vertAlign, value, 4); }
    bool ParagraphWrap() const { return m_wrap; }
    void SetParagraphWrap(bool value) { Change(m_wrap, value, 5); }
    TParagraphDirection ParagraphDirection() const { return m_direction; }
    void SetParagraphDirection(TParagraphDirection value) { Change(m_direction, value, 6); }

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    TPropGroupFixed *m_fixed;
    TAlignment m_horzAlign = taLeftJustify;
    TParagraphStyle m_style = psVariable;
    TVerticalAlignment m_vertAlign = taAlignTop;
    bool m_wrap = false;
    TParagraphDirection m_direction = pdAutomatic;
};

// A page of a PDF view element, named by the element.
class TPropGroupPDF : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(QString PDFLink READ PDFLink WRITE SetPDFLink)
    Q_PROPERTY(int PDFPage READ PDFPage WRITE SetPDFPage)
    Q_CLASSINFO("Default:PDFPage", "1")

public:
    explicit TPropGroupPDF(QObject *owner);

    QString PDFLink() const { return m_link; }
    // Only links to existing PDF view elements are taken, except while reading.
    void SetPDFLink(const QString &value);
    int PDFPage() const { return m_page; }
    void SetPDFPage(int value) { Change(m_page, value, 2); }

    // Follows a renamed element: no check, no report.
    void RenamePDFLink(const QString &value) { m_link = value; }

    int HlpCtx(const QString &name) const override;

private:
    QString m_link;
    int m_page = 1;
};

// Position and size on the paper, in millimetres.
class TPropGroupPosSize : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(Extended PosSizeHeight READ PosSizeHeight WRITE SetPosSizeHeight)
    Q_PROPERTY(Extended PosSizeLeft READ PosSizeLeft WRITE SetPosSizeLeft)
    Q_PROPERTY(Extended PosSizeTop READ PosSizeTop WRITE SetPosSizeTop)
    Q_PROPERTY(Extended PosSizeWidth READ PosSizeWidth WRITE SetPosSizeWidth)

public:
    explicit TPropGroupPosSize(QObject *owner);

    Extended PosSizeHeight() const { return m_height; }
    void SetPosSizeHeight(Extended value) { ChangeExtended(m_height, value, 1); }
    Extended PosSizeLeft() const { return m_left; }
    void SetPosSizeLeft(Extended value) { ChangeExtended(m_left, value, 2); }
    Extended PosSizeTop() const { return m_top; }
    void SetPosSizeTop(Extended value) { ChangeExtended(m_top, value, 3); }
    Extended PosSizeWidth() const { return m_width; }
    void SetPosSizeWidth(Extended value) { ChangeExtended(m_width, value, 4); }

    // The element's pixel bounds moved: take the new values without a report.
    void UpdateBounds(Extended left, Extended top, Extended width, Extended height);

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    Extended m_height = 0;
    Extended m_left = 0;
    Extended m_top = 0;
    Extended m_width = 0;
};

class TPropGroupScrolling : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(VeloraEnums::TScrollStyle ScrollingBars READ ScrollingBars WRITE SetScrollingBars)
    Q_CLASSINFO("Default:ScrollingBars", "sbNone")
    Q_PROPERTY(VeloraEnums::TScrollStyle ScrollingDirection READ ScrollingDirection WRITE
                   SetScrollingDirection)
    Q_CLASSINFO("Default:ScrollingDirection", "sbNone")

public:
    explicit TPropGroupScrolling(QObject *owner);

    TScrollStyle ScrollingBars() const { return m_bars; }
    void SetScrollingBars(TScrollStyle value) { Change(m_bars, value, 2); }
    TScrollStyle ScrollingDirection() const { return m_direction; }
    void SetScrollingDirection(TScrollStyle value) { Change(m_direction, value, 1); }

private:
    TScrollStyle m_bars = sbNone;
    TScrollStyle m_direction = sbNone;
};

// Whether Enter, and Up and Down, move between elements as TAB does.
class TPropGroupTABOn : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(bool TABOnEnterKey READ TABOnEnterKey WRITE SetTABOnEnterKey)
    Q_CLASSINFO("Default:TABOnEnterKey", "true")
    Q_PROPERTY(bool TABOnUpDownKeys READ TABOnUpDownKeys WRITE SetTABOnUpDownKeys)
    Q_CLASSINFO("Default:TABOnUpDownKeys", "false")

public:
    explicit TPropGroupTABOn(QObject *owner);

    bool TABOnEnterKey() const { return m_enterKey; }
    void SetTABOnEnterKey(bool value) { Change(m_enterKey, value, 1); }
    bool TABOnUpDownKeys() const { return m_upDownKeys; }
    void SetTABOnUpDownKeys(bool value) { Change(m_upDownKeys, value, 2); }

    int HlpCtx(const QString &name) const override;

private:
    bool m_enterKey = true;
    bool m_upDownKeys = false;
};

class TPropGroupValidation : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(
        QStringList ValidationErrMsgsList READ ValidationErrMsgsList WRITE SetValidationErrMsgsList)
    Q_PROPERTY(bool ValidationRequired READ ValidationRequired WRITE SetValidationRequired)
    Q_CLASSINFO("Default:ValidationRequired", "false")

public:
    explicit TPropGroupValidation(QObject *owner);

    // Entry 0 is the message for a required element left empty.
    QStringList ValidationErrMsgsList() const { return m_errMsgs; }
    void SetValidationErrMsgsList(const QStringList &value) { Change(m_errMsgs, value, 1); }
    // A view of the owner's general group (its "VisualGeneralProps").
    bool ValidationRequired() const;
    void SetValidationRequired(bool value);

private:
    TPropGroupGeneral *General() const;

    QStringList m_errMsgs;
};
