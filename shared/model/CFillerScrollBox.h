#pragma once
// The programs' page surface and its sheet, as documents store them.

#include "CPrinterPage.h"
#include "CProjectProps.h"

class TFillerPaintBox : public TProjectPagePaintBox
{
    Q_OBJECT
public:
    explicit TFillerPaintBox(TPrinterPage *page);

protected:
    // A click on the paper, away from any element, takes the focus from the element.
    void mousePressEvent(QMouseEvent *event) override;
};

class TFillerScrollBox : public TPrinterPage
{
    Q_OBJECT
    Q_CLASSINFO("Default:Color", "13033447")

public:
    static constexpr int WheelPixels = 32;

    explicit TFillerScrollBox(TComponent *owner, QWidget *parent = nullptr);

    // Re-places every element of the page from its relative bounds.
    void RelayoutElements() override;
    // Margins are a design aid; nobody filling a form needs them.
    bool MarginsShown() const override;

protected:
    // A click beside the paper takes the focus from the element, as one on the paper does.
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};
