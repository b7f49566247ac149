// The main window's caption, one text for the dialog template (app/res/varnock.rc includes this
// header), the connected caption that starts with it, and the search of a second start for the
// running bridge's window. A macro with a guard, so that the resource compiler reads it too.
#ifndef VARNOCK_APP_POLL_MAIN_CAPTION_H
#define VARNOCK_APP_POLL_MAIN_CAPTION_H

#define VARNOCK_MAIN_CAPTION "Fldigi<->Kebrin by Zorvath"

#endif
