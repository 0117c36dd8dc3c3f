#pragma once

#include "platform/toolkit/ScriptedBackend.h"

namespace varnak::toolkit::qt {

// The Qt backend with its user, who acts on the shown dialog through real mouse and key
// events. A QApplication must exist for as long as it is used.
class ScriptedQtBackend : public ScriptedBackend {
public:
    ScriptedQtBackend();

protected:
    void Play(ModalDialog& dialog, const UserFunction& user) override;
};

} // namespace varnak::toolkit::qt
