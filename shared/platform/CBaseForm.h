#pragma once
// Windows that reopen where they were closed: the place (and, when asked, the
// size) is kept in the settings file under the window's object name. Also the
// single-line edit box whose text alignment is a published property.

#include "CVeloraTypes.h"

#include <QDialog>
#include <QLineEdit>

class TBaseForm : public QDialog
{
    Q_OBJECT
public:
    explicit TBaseForm(QWidget *parent = nullptr, bool rememberSize = false);
    ~TBaseForm() override;

    bool RememberSize() const { return m_rememberSize; }
    void SetRememberSize(bool remember) { m_rememberSize = remember; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ReadPlacement();
    void WritePlacement();

    bool m_rememberSize;
    bool m_placed = false;
};

// The same for windows that keep other settings of their own in the file.
class TBaseINIForm : public TBaseForm
{
    Q_OBJECT
public:
    using TBaseForm::TBaseForm;
};

class TAlignEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(VeloraEnums::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_CLASSINFO("Default:Alignment", "taLeftJustify")
public:
    explicit TAlignEdit(QWidget *parent = nullptr);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);

private:
    TAlignment m_alignment = taLeftJustify;
};
