#include "model/arithmetic.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <functional>

namespace {

using namespace model;

struct FailingCase {
    const char* name;
    std::function<void()> operation;
    const char* message;
};

TEST(ArithmeticTest, RaisesTheMessagesAUserReads)
{
    const FailingCase cases[] = {
        {"1/0", [] { (void)Divide(1, 0); }, kDivisionByZero},
        {"0/0", [] { (void)Divide(0, 0); }, kInvalidOperation},
        {"ln 0", [] { (void)Ln(0); }, kDivisionByZero},
        {"ln -1", [] { (void)Ln(-1); }, kInvalidOperation},
        {"(-8)^0.5", [] { (void)Power(-8, 0.5L); }, kInvalidOperation},
        {"0^-1", [] { (void)Power(0, -1); }, kDivisionByZero},
        {"e^100000", [] { (void)Exp(100000); }, kOverflow},
        {"huge product", [] { (void)Checked(LDBL_MAX * 2); }, kOverflow},
        {"store 1e400", [] { (void)ToDouble(1e400L); }, kOverflow},
    };
    for (const FailingCase& test : cases) {
        try {
            test.operation();
            ADD_FAILURE() << test.name << " did not fail";
        } catch (const ArithmeticError& error) {
            EXPECT_STREQ(error.what(), test.message) << test.name;
        }
    }
}

TEST(ArithmeticTest, PowersFollowTheRealPowerRules)
{
    EXPECT_EQ(Power(0, 0), 1);
    EXPECT_EQ(Power(0, 0.3L), 0);
    EXPECT_EQ(Power(-2, 3), -8);
    EXPECT_NEAR(static_cast<double>(Power(8, 1.0L / 3)), 2.0, 1e-15);
}

TEST(ArithmeticTest, UnderflowIsNotAnError)
{
    EXPECT_EQ(ToDouble(Exp(-20000)), 0.0);
    EXPECT_GT(ToDouble(Divide(1e-300L, 1e10L)), 0.0);
}

}  // namespace
