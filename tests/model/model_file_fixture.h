// The model file fixture with the scripted backend, for the tests of the
// model's windows, dialogs and commands.
#pragma once

#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "model/data/model_file_fixture.h"
#include "model/ui/model_commands.h"
#include "platform/headless/headless_backend.h"

class ModelFileUiTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        install_headless_backend();
        ModelFileTest::SetUp();
    }
    static Script& script() { return headless_backend().script(); }
};
