// The switch of the settings window's Java area that lets a launch take the
// Java its version needs (shell/LaunchJavaStep.h): it shows the AutoJava
// setting, and a click changes the setting and saves the options at once,
// like every other control of the window.

#include "shell/SettingsSession.h"

namespace kestrel::shell {

namespace {

constexpr const char* kJavaChoiceSwitch = "设置_通用_Java选项_自动选择";

}  // namespace

void FillJavaChoiceSwitch(SettingsSession& session) {
    session.surface.SetChecked(kJavaChoiceSwitch, session.Settings().automatic_java);
}

void WireJavaChoiceSwitch(const std::shared_ptr<SettingsSession>& session) {
    session->surface.On(kJavaChoiceSwitch, toolkit::Event::Click, [session](const toolkit::EventArgs&) {
        // The setting decides, not the switch: a backend may or may not have
        // toggled the switch before the click arrives.
        bool on = false;
        session->Change([&](SettingsRecord& r) {
            r.automatic_java = !r.automatic_java;
            on = r.automatic_java;
        });
        session->surface.SetChecked(kJavaChoiceSwitch, on);
    });
}

}  // namespace kestrel::shell
