#pragma once
// Makes form elements, their in-place editors and the page surfaces known to
// Qt's accessibility, so that screen readers can read and fill a form.

// Installs the interface factory; later calls do nothing.
void InstallElementAccessibility();
