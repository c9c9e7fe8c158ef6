// The update dialog is kept apart from the rest of the shell: the dialog's window headers and the
// message box's cannot share one translation unit.
#include "services/shell/ServiceShell.h"
#include "services/update/UpdateDialogAdapter.h"

#include "platform/native/NativeDialog.h"

#include <memory>

namespace services {

UpdateCheckService& ServiceShell::dialogAdapter()
{
    if (!adapter)
        adapter.reset(new UpdateDialogAdapter(*this));
    return *adapter;
}

bool ServiceShell::showUpdateDialog()
{
    // The due test runs even when forced, so the last check date is stored in both cases.
    bool due = settings && settings->isCheckDue();
    if (!forced && !due)
        return true;
    auto dialog = std::make_unique<NativeDialog>(static_cast<UpdateDialogAdapter*>(&dialogAdapter()));
    dialog->setAutoStart();
    dialog->show(true);
    dialog->bringToFront();
    bool result = dialog->waitResult();
    dialog.reset();
    return result;
}

} // namespace services
