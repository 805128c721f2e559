// Macro parameter expressions: precedence and grouping worked by hand, the
// written-back text, scaling into another unit, and hostile input.

#include "gerber/Expression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mutaplot::gerber {
namespace {

double Eval(std::string_view text, std::vector<double> vars = {}) {
    auto e = Expression::Parse(text);
    EXPECT_TRUE(e) << text;
    return e ? e->Evaluate(vars) : -999;
}

TEST(Expression, PrecedenceAndGrouping) {
    EXPECT_DOUBLE_EQ(Eval("1+2x3"), 7);
    EXPECT_DOUBLE_EQ(Eval("(1+2)X3"), 9);
    EXPECT_DOUBLE_EQ(Eval("10-4-3"), 3);      // left to right
    EXPECT_DOUBLE_EQ(Eval("12/2/3"), 2);
    EXPECT_DOUBLE_EQ(Eval("-2x-3"), 6);
    EXPECT_DOUBLE_EQ(Eval("+.5+5."), 5.5);
    EXPECT_DOUBLE_EQ(Eval(" $1 x 2 - $3 ", {1.5, 7, 0.25}), 2.75);
    EXPECT_DOUBLE_EQ(Eval("$4+1", {1, 2}), 1);  // $4 beyond the values: 0
    EXPECT_DOUBLE_EQ(Eval("$1/0", {3}), 0);     // no NaN
}

TEST(Expression, RefusesWhatIsNotAnExpression) {
    for (const char* bad : {"", "1+", "(1", "1)", "$0", "$", "$x", "1e3", "2..3", "1,2",
                            "$10000", "1 2"})
        EXPECT_FALSE(Expression::Parse(bad)) << bad;
    // Nesting is limited; a long flat chain is not.
    EXPECT_FALSE(Expression::Parse(std::string(100, '(') + "1" + std::string(100, ')')));
    EXPECT_FALSE(Expression::Parse(std::string(100, '-') + "1"));
    std::string chain = "1";
    for (int k = 0; k < 100000; ++k) chain += "+1";
    auto e = Expression::Parse(chain);
    ASSERT_TRUE(e);
    EXPECT_DOUBLE_EQ(e->Evaluate({}), 100001);
    EXPECT_EQ(e->Text().size(), chain.size());
}

TEST(Expression, TextReadsBackTheSameTree) {
    auto text = [](std::string_view t) { return Expression::Parse(t)->Text(); };
    EXPECT_EQ(text("$1x2-0.10"), "$1x2-0.1");
    EXPECT_EQ(text("($1+$2)X(($3))"), "($1+$2)x$3");
    EXPECT_EQ(text("$1-($2-$3)"), "$1-($2-$3)");
    EXPECT_EQ(text("$1/($2x$3)"), "$1/($2x$3)");
    EXPECT_EQ(text("-($1+1)"), "-($1+1)");
    EXPECT_EQ(text("0.000001"), "0.000001");  // never an exponent
    EXPECT_EQ(text("1000000"), "1000000");
}

TEST(Expression, ScaledConstantsFoldAndVariablesAreWrapped) {
    EXPECT_EQ(Expression::Parse("0.5")->Scaled(25.4).Text(), "12.7");
    EXPECT_EQ(Expression::Parse("2x3")->Scaled(2).Text(), "12");
    EXPECT_EQ(Expression::Parse("-0.5")->Scaled(2).Text(), "-1");
    const auto e = Expression::Parse("$1+0.1")->Scaled(25.4);
    EXPECT_EQ(e.Text(), "$1x25.4+0.1x25.4");  // no parentheses
    EXPECT_DOUBLE_EQ(e.Evaluate(std::vector<double>{0.4}), 12.7);
    const auto d = Expression::Parse("$1x2")->Divided(25.4);
    EXPECT_EQ(d.Text(), "$1/25.4x2");
    EXPECT_DOUBLE_EQ(d.Evaluate(std::vector<double>{12.7}), 1.0);
    // Back into the first unit: the added operation goes again.
    EXPECT_EQ(d.Scaled(25.4).Text(), "$1x2");
    EXPECT_EQ(e.Divided(25.4).Text(), "$1+0.1");
    EXPECT_EQ(Expression::Parse("$1/2")->Scaled(2).Text(), "$1");
    EXPECT_EQ(Expression::Parse("2/$1")->Scaled(2).Text(), "2x2/$1");
    EXPECT_EQ(Expression::Parse("-($1-$2/3)")->Divided(25.4).Text(), "-($1/25.4-$2/25.4/3)");
    const auto deep = Expression::Parse(std::string(60, '(') + "$1" + std::string(60, ')') + "+1")->Scaled(2);
    EXPECT_DOUBLE_EQ(deep.Evaluate(std::vector<double>{3}), 8);
    // A negative folded constant keeps its grouping inside an operation.
    auto neg = Expression::Parse("$1-(0-1)")->Scaled(1);
    EXPECT_DOUBLE_EQ(neg.Evaluate(std::vector<double>{1}), 2);
}

// A zero followed by "x" reads as a hexadecimal number ("0x25.4" = 37.25)
// to readers that take numbers by strtod: it is never written that way.
TEST(Expression, ZeroIsNeverWrittenInFrontOfAMultiplication) {
    // "0-$4" of a macro outline point, into mm and into inch.
    EXPECT_EQ(Expression::Parse("0-$4")->Scaled(25.4).Text(), "0-$4x25.4");
    EXPECT_EQ(Expression::Parse("0-$4")->Divided(25.4).Text(), "0-$4/25.4");
    EXPECT_EQ(Expression::Parse("$1+0")->Scaled(2).Text(), "$1x2+0");
    // A zero factor the file wrote itself.
    EXPECT_EQ(Expression::Parse("0x2")->Text(), "0.0x2");
    EXPECT_EQ(Expression::Parse("$1-0X2")->Text(), "$1-0.0x2");
    EXPECT_EQ(Expression::Parse("$1x0x2")->Text(), "$1x0.0x2");
    // Other numbers ending in 0 are left as they are.
    EXPECT_EQ(Expression::Parse("10x$1")->Text(), "10x$1");
    EXPECT_EQ(Expression::Parse("2.50x$1")->Text(), "2.5x$1");
    EXPECT_EQ(Expression::Parse("$10x2")->Text(), "$10x2");
}

// Signs in a row cancel in pairs when scaled, so that no parentheses pile up
// (and the text reads back however many signs the file wrote).
TEST(Expression, RepeatedSignsCancelWhenScaled) {
    EXPECT_EQ(Expression::Parse("0---$4")->Scaled(25.4).Text(), "0-$4x25.4");
    EXPECT_EQ(Expression::Parse("--$1")->Divided(25.4).Text(), "$1/25.4");
    EXPECT_EQ(Expression::Parse("-(-(-$1))")->Scaled(2).Text(), "-$1x2");
    const std::string many = "0" + std::string(60, '-') + "$4";
    const auto scaled = Expression::Parse(many)->Scaled(25.4);
    EXPECT_EQ(scaled.Text(), "0--$4x25.4");
    ASSERT_TRUE(Expression::Parse(scaled.Text()));
    EXPECT_DOUBLE_EQ(scaled.Evaluate(std::vector<double>{0, 0, 0, 1}), 25.4);
    // Also in a tree too deep to carry the factor into, which is wrapped
    // whole: 62 signs in front of 7, an even number.
    const std::string deep = "-0-" + std::string(62, '-') + "7-" + std::string(11, '-') + "$1";
    const auto parsed = Expression::Parse(deep);
    ASSERT_TRUE(parsed);
    const auto wrapped = parsed->Divided(25.4);
    const auto back = Expression::Parse(wrapped.Text());
    ASSERT_TRUE(back) << wrapped.Text();
    // -0 - 7 - (-$1) with $1 = 2: -5, in inch.
    EXPECT_DOUBLE_EQ(back->Evaluate(std::vector<double>{2}), -5 / 25.4);
    EXPECT_EQ(Expression::Parse("--$1")->Scaled(2).Text(), "$1x2");
}

}  // namespace
}  // namespace mutaplot::gerber
