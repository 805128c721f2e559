#pragma once
// An arithmetic expression of an aperture macro parameter ("$1", "0.5",
// "$2x2-0.1", "-($1+$3)/2"): numbers with an optional decimal point,
// variables $n (n from 1), binary + - x X /, unary + -, parentheses; x and /
// bind tighter than + and -, operators of one level group from the left.
//
// The tree lives in one vector of nodes, every node after its operands and
// the root last, so evaluating and writing need no recursion however long a
// macro line is; only parentheses and unary signs nest during parsing, and
// their depth is limited.
//
// Beyond the agreed interface: Divided() (a variable expression divided by
// 25.4 stays exact where a multiplication by 1/25.4 would not) and
// HasVariable().

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mutaplot::gerber {

class Expression {
public:
    // The whole text as one expression (blanks allowed between the parts),
    // or nullopt for anything else, an empty text, or nesting deeper than
    // kMaxNesting.
    static std::optional<Expression> Parse(std::string_view text);
    static Expression Constant(double value);

    // Parentheses and unary signs nested deeper than this are refused.
    static constexpr int kMaxNesting = 64;
    // Variable numbers above this are refused ($1 … $9999).
    static constexpr int kMaxVariable = 9999;

    // The value with $n taken from variables[n − 1]; $n beyond the span is 0.
    // A division by zero gives 0 (a file's mistake must not become a NaN
    // that travels into the drawing).
    double Evaluate(std::span<const double> variables) const;

    bool IsConstant() const noexcept;

    // The expression in Gerber syntax: numbers in plain decimal notation
    // without an exponent, shortest form that reads back to the same value;
    // parentheses only where the grouping needs them; "x" for multiplication.
    std::string Text() const;

    // A constant expression becomes the constant value × factor. Any other
    // gets the multiplication (division) carried to the terms of its sums
    // and to the first factor of each product, "($1-$3)" becoming
    // "$1x25.4-$3x25.4": no parentheses, which some readers evaluate wrongly.
    // A division (multiplication) by that very number is dropped instead, so
    // a macro converted to inch and back reads as it was. Trees deeper than
    // kMaxNesting are wrapped whole.
    Expression Scaled(double factor) const;
    Expression Divided(double divisor) const;

private:
    enum class Op : std::uint8_t { Number, Variable, Add, Subtract, Multiply, Divide, Negate };
    struct Node {
        Op op = Op::Number;
        double value = 0;    // Number
        int variable = 0;    // Variable: n of $n
        std::uint32_t left = 0, right = 0;  // operands (indices of earlier nodes)
    };
    class Parser;

    Expression Combined(Op op, double constant) const;
    Expression WithoutDoubleSigns() const;
    Expression Applied(Op op, double constant) const;
    int Depth() const;
    std::uint32_t CopySubtree(const std::vector<Node>& from, std::uint32_t k);
    std::uint32_t Distribute(const std::vector<Node>& from, std::uint32_t k, Op op, double constant);

    std::vector<Node> nodes_;  // root last; never empty
};

}  // namespace mutaplot::gerber
