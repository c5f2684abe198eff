#pragma once
// Accessibility events of elements and editors, sent where a reader hears them.

class QAccessibleEvent;

// True when anyone hears accessibility events: a platform reader, or an update
// handler installed in its place.
bool GlobalAccessibilityListening();
// Qt drops every update while its platform has no active reader; a handler
// installed with QAccessible::installUpdateHandler hears them all the same.
void GlobalSendAccessibleEvent(QAccessibleEvent &event);
