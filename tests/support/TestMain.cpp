// The main() of every test program: the program's end and its message boxes are
// taken over for the whole run, so that no test can end the process or wait for a
// person. A message box that no test expected fails the test that raised it.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "runtime/EndProgram.h"
#include "runtime/MsgBox.h"
#include "runtime/TextConv.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    SetEndProgramHook([] { throw ProgramEnded{}; });
    SetMsgBoxHook([](const MsgBoxCall& call) {
        ADD_FAILURE() << "unexpected message box: " << Narrow(call.text);
        return call.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    });
    return RUN_ALL_TESTS();
}
