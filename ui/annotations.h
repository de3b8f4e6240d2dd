// What screen readers are told about the dialog's controls beyond what the
// controls say of themselves, through Windows' accessibility annotation service
// (Dynamic Annotation), and the event that has a live region read out. Every
// call fails quietly: where the service cannot be had (older Windows, Wine),
// nothing is annotated and everything else goes on as before.
#pragma once

#include <windows.h>

struct IAccPropServices;

// The annotation service, got anew for each use; nullptr when it cannot be had.
// The caller releases it with CloseAnnotations. COM must be initialised.
IAccPropServices* OpenAnnotations();
void CloseAnnotations(IAccPropServices* service);

// Gives the control an accessible name, an ANSI text of at most 63 bytes.
void AnnotateName(IAccPropServices* service, HWND control, const char* name);

// Makes the control a polite live region: screen readers read its new text out
// when AnnounceLiveRegion says it changed, without moving the focus.
void AnnotatePoliteLiveRegion(IAccPropServices* service, HWND control);

// Takes back what AnnotateName and AnnotatePoliteLiveRegion set on the control.
void ClearAnnotations(IAccPropServices* service, HWND control);

// Tells screen readers that the live region's text changed. Does nothing for no control.
void AnnounceLiveRegion(HWND control);
