#include "gerber/Expression.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace mutaplot::gerber {

namespace {

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// Binding strength of a node as an operand: higher binds tighter.
constexpr int kSumLevel = 0, kProductLevel = 1, kSignLevel = 2, kAtomLevel = 3;

}  // namespace

// Recursive descent over the text; binary chains are loops, so only
// parentheses and unary signs recurse.
class Expression::Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    bool Run(std::vector<Node>& nodes) {
        nodes_ = &nodes;
        if (!Sum(0)) return false;
        SkipBlanks();
        return pos_ == text_.size();
    }

private:
    void SkipBlanks() noexcept {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    }
    char Peek() noexcept {
        SkipBlanks();
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    std::uint32_t Push(const Node& node) {
        nodes_->push_back(node);
        return static_cast<std::uint32_t>(nodes_->size() - 1);
    }

    bool Sum(int depth) {
        if (!Product(depth)) return false;
        for (;;) {
            const char c = Peek();
            if (c != '+' && c != '-') return true;
            ++pos_;
            const auto left = static_cast<std::uint32_t>(nodes_->size() - 1);
            if (!Product(depth)) return false;
            const auto right = static_cast<std::uint32_t>(nodes_->size() - 1);
            Push({c == '+' ? Op::Add : Op::Subtract, 0, 0, left, right});
        }
    }

    bool Product(int depth) {
        if (!Factor(depth)) return false;
        for (;;) {
            const char c = Peek();
            if (c != 'x' && c != 'X' && c != '/') return true;
            ++pos_;
            const auto left = static_cast<std::uint32_t>(nodes_->size() - 1);
            if (!Factor(depth)) return false;
            const auto right = static_cast<std::uint32_t>(nodes_->size() - 1);
            Push({c == '/' ? Op::Divide : Op::Multiply, 0, 0, left, right});
        }
    }

    bool Factor(int depth) {
        if (depth >= kMaxNesting) return false;
        const char c = Peek();
        if (c == '+') {
            ++pos_;
            return Factor(depth + 1);
        }
        if (c == '-') {
            ++pos_;
            if (!Factor(depth + 1)) return false;
            Push({Op::Negate, 0, 0, static_cast<std::uint32_t>(nodes_->size() - 1), 0});
            return true;
        }
        if (c == '(') {
            ++pos_;
            if (!Sum(depth + 1) || Peek() != ')') return false;
            ++pos_;
            return true;
        }
        if (c == '$') return Variable();
        return Number();
    }

    bool Variable() {
        ++pos_;  // "$"
        const std::size_t start = pos_;
        int n = 0;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) {
            n = n * 10 + (text_[pos_] - '0');
            if (n > kMaxVariable) return false;
            ++pos_;
        }
        if (pos_ == start || n < 1) return false;
        Push({Op::Variable, 0, n, 0, 0});
        return true;
    }

    bool Number() {
        const std::size_t start = pos_;
        std::size_t digits = 0;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_, ++digits;
        std::size_t end = pos_;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_, ++digits;
            end = pos_;
        }
        if (digits == 0) return false;
        // "5." reads as "5": from_chars is given the digits only.
        std::string_view number = text_.substr(start, end - start);
        if (number.back() == '.') number.remove_suffix(1);
        double value = 0;
        auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (ec != std::errc() || ptr != number.data() + number.size() || !std::isfinite(value))
            return false;
        Push({Op::Number, value, 0, 0, 0});
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::vector<Node>* nodes_ = nullptr;
};

std::optional<Expression> Expression::Parse(std::string_view text) {
    Expression e;
    Parser parser(text);
    if (!parser.Run(e.nodes_)) return std::nullopt;
    return e;
}

Expression Expression::Constant(double value) {
    Expression e;
    e.nodes_.push_back({Op::Number, std::isfinite(value) ? value : 0.0, 0, 0, 0});
    return e;
}

double Expression::Evaluate(std::span<const double> variables) const {
    if (nodes_.size() == 1 && nodes_[0].op == Op::Number) return nodes_[0].value;
    std::vector<double> v(nodes_.size());
    for (std::size_t k = 0; k < nodes_.size(); ++k) {
        const Node& n = nodes_[k];
        switch (n.op) {
            case Op::Number: v[k] = n.value; break;
            case Op::Variable:
                v[k] = static_cast<std::size_t>(n.variable) <= variables.size()
                           ? variables[static_cast<std::size_t>(n.variable) - 1]
                           : 0.0;
                break;
            case Op::Add: v[k] = v[n.left] + v[n.right]; break;
            case Op::Subtract: v[k] = v[n.left] - v[n.right]; break;
            case Op::Multiply: v[k] = v[n.left] * v[n.right]; break;
            case Op::Divide: v[k] = v[n.right] == 0 ? 0.0 : v[n.left] / v[n.right]; break;
            case Op::Negate: v[k] = -v[n.left]; break;
        }
    }
    return v.back();
}

bool Expression::IsConstant() const noexcept {
    for (const Node& n : nodes_)
        if (n.op == Op::Variable) return false;
    return true;
}

namespace {

// Whether the text ends with the number "0" written alone (not "10", "0.5").
bool EndsWithLoneZero(std::string_view text) noexcept {
    if (text.empty() || text.back() != '0') return false;
    if (text.size() == 1) return true;
    const char before = text[text.size() - 2];
    return !(before >= '0' && before <= '9') && before != '.';
}

}  // namespace

std::string Expression::Text() const {
    auto level = [this](std::uint32_t k) {
        const Node& n = nodes_[k];
        switch (n.op) {
            case Op::Number: return n.value < 0 ? kSignLevel : kAtomLevel;
            case Op::Variable: return kAtomLevel;
            case Op::Negate: return kSignLevel;
            case Op::Multiply:
            case Op::Divide: return kProductLevel;
            default: return kSumLevel;
        }
    };
    struct Frame {
        std::uint32_t node;
        bool parens;
        std::uint8_t stage = 0;
    };
    std::string out;
    std::vector<Frame> stack{{static_cast<std::uint32_t>(nodes_.size() - 1), false}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        const Node& n = nodes_[f.node];
        if (n.op == Op::Number || n.op == Op::Variable) {
            if (f.parens) out.push_back('(');
            if (n.op == Op::Number) {
                char buf[512];
                const double value = n.value == 0 ? 0.0 : n.value;  // no "-0"
                auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed).ptr;
                out.append(buf, end);
            } else {
                out.push_back('$');
                out += std::to_string(n.variable);
            }
            if (f.parens) out.push_back(')');
            stack.pop_back();
            continue;
        }
        if (f.stage == 0) {
            f.stage = 1;
            if (f.parens) out.push_back('(');
            if (n.op == Op::Negate) {
                out.push_back('-');
                const std::uint32_t child = n.left;
                // -a x b is (-a) x b: only a sum or another sign needs grouping.
                const int l = level(child);
                stack.push_back({child, l == kSumLevel || l == kSignLevel});
            } else {
                const int mine = level(f.node);
                const std::uint32_t child = n.left;
                stack.push_back({child, level(child) < mine});
            }
            continue;
        }
        if (f.stage == 1 && n.op != Op::Negate) {
            f.stage = 2;
            const char symbol = n.op == Op::Add        ? '+'
                                : n.op == Op::Subtract ? '-'
                                : n.op == Op::Multiply ? 'x'
                                                       : '/';
            // "0x2" would read as the hexadecimal 2 to a reader that takes
            // numbers by strtod; "0.0x2" reads as zero everywhere.
            if (symbol == 'x' && EndsWithLoneZero(out)) out += ".0";
            out.push_back(symbol);
            const int mine = level(f.node);
            const std::uint32_t child = n.right;
            const bool grouped = n.op == Op::Subtract || n.op == Op::Divide;
            stack.push_back({child, level(child) < mine || (grouped && level(child) == mine)});
            continue;
        }
        if (f.parens) out.push_back(')');
        stack.pop_back();
    }
    return out;
}

Expression Expression::Combined(Op op, double constant) const {
    Expression e = *this;
    const auto left = static_cast<std::uint32_t>(e.nodes_.size() - 1);
    e.nodes_.push_back({Op::Number, constant, 0, 0, 0});
    const auto right = static_cast<std::uint32_t>(e.nodes_.size() - 1);
    e.nodes_.push_back({op, 0, 0, left, right});
    return e;
}

int Expression::Depth() const {
    std::vector<int> depth(nodes_.size(), 1);
    for (std::size_t k = 0; k < nodes_.size(); ++k) {
        const Node& n = nodes_[k];
        if (n.op == Op::Number || n.op == Op::Variable) continue;
        depth[k] = 1 + depth[n.left];
        if (n.op != Op::Negate) depth[k] = std::max(depth[k], 1 + depth[n.right]);
    }
    return depth.back();
}

// Copies the subtree of `k` from `from` to the end of nodes_; returns its root.
std::uint32_t Expression::CopySubtree(const std::vector<Node>& from, std::uint32_t k) {
    Node n = from[k];
    if (n.op != Op::Number && n.op != Op::Variable) {
        n.left = CopySubtree(from, n.left);
        if (n.op != Op::Negate) n.right = CopySubtree(from, n.right);
    }
    nodes_.push_back(n);
    return static_cast<std::uint32_t>(nodes_.size() - 1);
}

// Writes the subtree of `k` multiplied (divided) by `constant`, the operation
// carried down to the operands of sums and to one factor of a product, so
// that no parentheses are needed ("$1x25.4-$3x25.4", not "($1-$3)x25.4":
// several readers mis-evaluate a parenthesis followed by an operator). A
// division (multiplication) by the constant itself is dropped instead.
std::uint32_t Expression::Distribute(const std::vector<Node>& from, std::uint32_t k, Op op,
                                     double constant) {
    const Node& n = from[k];
    const Op inverse = op == Op::Multiply ? Op::Divide : Op::Multiply;
    auto push = [this](Node node) {
        nodes_.push_back(node);
        return static_cast<std::uint32_t>(nodes_.size() - 1);
    };
    switch (n.op) {
        case Op::Add:
        case Op::Subtract: {
            const std::uint32_t l = Distribute(from, n.left, op, constant);
            const std::uint32_t r = Distribute(from, n.right, op, constant);
            return push({n.op, 0, 0, l, r});
        }
        case Op::Negate: {
            // Two signs cancel: "--$1" is written "$1" (nested signs would
            // need parentheses, one level each).
            if (from[n.left].op == Op::Negate) return Distribute(from, from[n.left].left, op, constant);
            const std::uint32_t c = Distribute(from, n.left, op, constant);
            return push({Op::Negate, 0, 0, c, 0});
        }
        case Op::Multiply:
        case Op::Divide: {
            if (n.op == inverse && from[n.right].op == Op::Number && from[n.right].value == constant)
                return CopySubtree(from, n.left);
            const std::uint32_t l = Distribute(from, n.left, op, constant);
            const std::uint32_t r = CopySubtree(from, n.right);
            return push({n.op, 0, 0, l, r});
        }
        default: {
            // Zero stays zero: "0x25.4" would also read as a hexadecimal
            // number to a reader that takes numbers by strtod.
            if (n.op == Op::Number && n.value == 0) return push({Op::Number, 0, 0, 0, 0});
            const std::uint32_t l = CopySubtree(from, k);
            const std::uint32_t r = push({Op::Number, constant, 0, 0, 0});
            return push({op, 0, 0, l, r});
        }
    }
}

Expression Expression::WithoutDoubleSigns() const {
    // Operands stand before their operations, so one pass in order maps every
    // node; a sign on a sign maps to what the inner one negated.
    Expression e;
    e.nodes_.reserve(nodes_.size());
    std::vector<std::uint32_t> at(nodes_.size());
    for (std::size_t k = 0; k < nodes_.size(); ++k) {
        Node n = nodes_[k];
        if (n.op == Op::Negate && nodes_[n.left].op == Op::Negate) {
            at[k] = at[nodes_[n.left].left];
            continue;
        }
        if (n.op != Op::Number && n.op != Op::Variable) {
            n.left = at[n.left];
            if (n.op != Op::Negate) n.right = at[n.right];
        }
        e.nodes_.push_back(n);
        at[k] = static_cast<std::uint32_t>(e.nodes_.size() - 1);
    }
    // The root last, as everywhere.
    if (at.back() != e.nodes_.size() - 1) {
        const Node root = e.nodes_[at.back()];
        e.nodes_.push_back(root);
    }
    return e;
}

Expression Expression::Applied(Op op, double constant) const {
    // Signs in a row cancel in pairs first (each would need parentheses of
    // its own when written). Distributing recurses once per level: deep
    // trees are wrapped instead.
    const Expression base = WithoutDoubleSigns();
    if (base.Depth() > kMaxNesting) return base.Combined(op, constant);
    Expression e;
    e.nodes_.reserve(base.nodes_.size() * 2 + 2);
    e.Distribute(base.nodes_, static_cast<std::uint32_t>(base.nodes_.size() - 1), op, constant);
    return e;
}

Expression Expression::Scaled(double factor) const {
    if (IsConstant()) return Constant(Evaluate({}) * factor);
    return Applied(Op::Multiply, factor);
}

Expression Expression::Divided(double divisor) const {
    if (IsConstant()) return Constant(divisor == 0 ? 0.0 : Evaluate({}) / divisor);
    return Applied(Op::Divide, divisor);
}

}  // namespace mutaplot::gerber
