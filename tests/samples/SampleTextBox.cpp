#include "SampleTextBox.h"

// The text box's kind, so that kind-dependent behaviour treats it as one.
int TSampleTextBox::ClassTypeID() const
{
    return 20;
}
