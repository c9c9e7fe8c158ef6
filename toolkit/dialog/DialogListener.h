// Told when a button answers a dialog; the dialog keeps the pressed button as its result.
#pragma once

class Dialog;

class DialogListener {
public:
    virtual ~DialogListener() = default;
    virtual void onDialogClosed(Dialog* dialog) = 0;
};
