// The ddeclient object where no conversation can be made (a confined
// program talks to no server): the creation error can be handled, and the
// object it leaves refuses commands but answers requests with "".
#include "objects/dde_client_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/messages.h"
#include "core/program.h"
#include "expr/string_array.h"
#include "platform/confinement.h"

namespace tallow {
namespace {

using Lines = std::vector<std::string>;

class DdeClientObjectTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetConfined(true); }
    void TearDown() override { platform::SetConfined(false); }

    // Runs text after creating the string array out; its elements after the
    // run, and "error: MESSAGE" last when the run failed.
    Lines Out(const std::string& text) {
        program_.keepState = true;
        program_.Run(("new out as stringarray\n" + text).c_str());
        Lines items;
        if (StringArrayObject* out = program_.FindStringArray("out")) items = out->items;
        if (program_.Outcome() == RunOutcome::Failed)
            items.push_back("error: " + program_.LastRunError().message);
        return items;
    }

    Program program_;
};

TEST_F(DdeClientObjectTest, FailedCreationLeavesAnObjectWithoutConversation) {
    EXPECT_EQ(Out("try\n new d as ddeclient \"svc\", \"topic\"\ncatch\n out.add ErrMsg$\nendtry\n"
                  "out.add \"[\" + d.request(\"item\") + \"]\"\n"
                  "try\n d.execute \"cmd\"\ncatch\n out.add ErrMsg$\nendtry\n"
                  "delete d\n"
                  "out.add \"deleted\"\n"),
              (Lines{msg::kDdeCannotConnect, "[]", msg::kDdeNotActive, "deleted"}));
}

TEST_F(DdeClientObjectTest, UncaughtErrorsEndTheRun) {
    EXPECT_EQ(Out("new d as ddeclient \"svc\", \"topic\"\nout.add \"not reached\"\n"),
              (Lines{std::string("error: ") + msg::kDdeCannotConnect}));
    // The object of the failed creation is replaced by a new one of its name.
    EXPECT_EQ(Out("try\n new d as ddeclient \"a\", \"b\"\ncatch\nendtry\n"
                  "try\n new d as ddeclient \"a\", \"b\"\ncatch\nendtry\n"
                  "d.execute \"x\"\n"),
              (Lines{std::string("error: ") + msg::kDdeNotActive}));
}

TEST_F(DdeClientObjectTest, MissingParametersAreRequired) {
    EXPECT_EQ(Out("new d as ddeclient \"svc\"\n"), (Lines{std::string("error: ") + msg::kRequiredParameter}));
}

}  // namespace
}  // namespace tallow
