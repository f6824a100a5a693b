// Making statement blocks: the plans reachable from a loop head through the
// successors the statement loop noted, each with the short form of its
// statement where the plan's remembered code allows one.
#include "statement_block.h"

#include <algorithm>
#include <unordered_map>

#include "core/main_object.h"
#include "core/program.h"
#include "expr/compiled_expr.h"

namespace tallow {

namespace {

template <class F>
void ForEachOperand(BlockValue& value, F f) {
    f(value.first);
    for (size_t i = 0; i < value.links; ++i)
        f(value.operand[i]);
}

BlockOperand OperandOf(const NumCode& code, NumOp op, uint32_t arg, double number,
                       std::vector<double>& numbers) {
    BlockOperand operand;
    if (op == NumOp::Var) {
        operand.site = &code.vars[arg];
        operand.base = kVariablesBase;
    } else {
        operand.base = kNumbersBase;
        operand.index = uint32_t(numbers.size());
        numbers.push_back(number);
    }
    return operand;
}

// The code as a chain: a number or variable, then only fused operators
// (each with a number or a variable); false for anything else.
bool ChainValue(const NumCode& code, BlockValue& value, std::vector<double>& numbers) {
    const std::vector<NumInstr>& in = code.code;
    if (in.empty() || in.size() > kMaxChainLinks + 1) return false;
    if (in[0].op != NumOp::Number && in[0].op != NumOp::Var) return false;
    for (size_t i = 1; i < in.size(); ++i)
        if (in[i].op < NumOp::AddN) return false;
    value.first = OperandOf(code, in[0].op, in[0].arg, in[0].number, numbers);
    value.links = uint8_t(in.size() - 1);
    for (size_t i = 1; i < in.size(); ++i) {
        value.op[i - 1] = FusedOperator(in[i]);
        value.operand[i - 1] = OperandOf(code, FusedWithVariable(in[i]) ? NumOp::Var : NumOp::Number,
                                         in[i].arg, in[i].number, numbers);
    }
    value.form = value.links == 0   ? kLeafForm
                 : value.links == 1 ? uint8_t(kFirstOpForm + uint8_t(value.op[0]))
                                    : kLongForm;
    return true;
}

// The short form of a condition: both sides numeric leaves.
bool LeafCondition(const CondCode* cond, BlockStep& step, std::vector<double>& numbers) {
    if (!cond || cond->strings) return false;
    if (!ChainValue(*cond->leftNum, step.value, numbers) || !ChainValue(*cond->rightNum, step.right, numbers))
        return false;
    step.relation = cond->op;
    step.nesting = cond->nesting;
    step.end = &cond->rightNum->end;
    return true;
}

// A step for the statement of plan; provisional is set when the plan does
// not yet know the code its short form needs.
BlockStep MakeStep(StatementPlan& plan, uint32_t at, const Token& token, bool body, StatementBlock& block) {
    bool& provisional = block.provisional;
    std::vector<double>& numbers = block.numbers;
    BlockStep step;
    step.plan = &plan;
    step.at = at;
    step.token = token;
    if (body && plan.endsBody) {
        step.kind = StepKind::EndsBody;
        return step;
    }
    switch (plan.kind) {
        case PlanKind::NumAssign: {
            auto& assign = static_cast<AssignPlan&>(plan);
            if (!assign.num.known) {
                provisional = true;
            } else if (assign.num.code && ChainValue(*assign.num.code, step.value, numbers)) {
                step.kind = StepKind::Assign;
                step.targetName = assign.name;
                step.end = &assign.num.code->end;
                step.nesting = assign.num.code->nesting;
            }
            break;
        }
        case PlanKind::If: {
            auto& condition = static_cast<ConditionPlan&>(plan);
            if (!condition.codeKnown)
                provisional = true;
            else if (condition.afterKeyword == kwThen && LeafCondition(condition.cond, step, numbers))
                step.kind = StepKind::If;
            break;
        }
        case PlanKind::Else:
            step.kind = StepKind::Else;
            break;
        case PlanKind::Endif:
            step.kind = StepKind::Endif;
            break;
        case PlanKind::Next:
            step.kind = StepKind::Next;
            break;
        case PlanKind::Endwhile:
            step.kind = StepKind::Endwhile;
            step.numbersAt = uint32_t(numbers.size());
            numbers.resize(numbers.size() + kConditionNumbers);
            break;
        default:
            break;
    }
    return step;
}

bool Resolve(NumVarTable& table, BlockOperand& operand) {
    if (operand.base != kVariablesBase) return true;
    int i = table.Find(operand.site->name);
    if (i < 0) return false;
    operand.index = uint32_t(i);
    return true;
}

bool Resolve(NumVarTable& table, BlockValue& value) {
    bool found = true;
    ForEachOperand(value, [&](BlockOperand& operand) { found = Resolve(table, operand) && found; });
    return found;
}

// Finds the step's variables; false when one is missing (the step then runs
// its plan, which reports or creates it as reading the text does).
bool ResolveStep(NumVarTable& table, BlockStep& step) {
    switch (step.kind) {
        case StepKind::Assign: {
            int target = table.Find(step.targetName);
            step.target = uint32_t(target);
            step.resolved = Resolve(table, step.value) && target >= 0;
            break;
        }
        case StepKind::If:
            step.resolved = Resolve(table, step.value) && Resolve(table, step.right);
            break;
        case StepKind::Endwhile:
            step.resolved = step.whileShort && Resolve(table, step.value) && Resolve(table, step.right);
            return step.resolved || !step.whileShort;
        default:
            return true;
    }
    return step.resolved;
}

}  // namespace

StatementBlock* NoBlock() {
    static StatementBlock none = [] {
        StatementBlock block;
        block.ready = false;
        return block;
    }();
    return &none;
}

std::unique_ptr<StatementBlock> MakeBlock(Program& p, StatementPlan& head, uint32_t at, const Token& token,
                                          bool body) {
    auto block = std::make_unique<StatementBlock>();
    uint32_t generation = p.Main().NameGeneration();
    block->generation = generation;
    block->body = body;
    std::vector<BlockStep>& steps = block->steps;
    // Successors are linked by index first: the steps move until all are made.
    std::vector<int32_t> links;
    std::unordered_map<uint32_t, int32_t> stepAt;
    auto add = [&](StatementPlan& plan, uint32_t place, const Token& first) -> int32_t {
        auto known = stepAt.find(place);
        if (known != stepAt.end()) return known->second;
        if (steps.size() >= kMaxBlockSteps) return -1;
        steps.push_back(MakeStep(plan, place, first, body, *block));
        links.insert(links.end(), {-1, -1});
        return stepAt[place] = int32_t(steps.size() - 1);
    };
    add(head, at, token);
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].kind == StepKind::EndsBody) continue;
        StatementPlan& plan = *steps[i].plan;
        for (int k = 0; k < 2; ++k) {
            const StatementPlan::Successor& next = plan.next[k];
            if (next.generation != generation || next.at == UINT32_MAX) continue;
            int32_t step = next.plan ? add(*next.plan, next.at, next.token) : -1;
            steps[i].nextAt[k] = next.at;
            links[2 * i + k] = step;
        }
    }
    if (steps.size() < 2) return nullptr;
    steps.shrink_to_fit();
    for (size_t i = 0; i < steps.size(); ++i) {
        BlockStep& step = steps[i];
        for (int k = 0; k < 2; ++k) {
            int32_t link = links[2 * i + k];
            step.next[k] = link >= 0 ? &steps[size_t(link)] : nullptr;
            step.back[k] = link >= 0 && size_t(link) <= i;
        }
        // One place to go on: where the expression ends, or after ENDIF.
        uint32_t only = step.kind == StepKind::Assign  ? step.end->start
                        : step.kind == StepKind::Endif ? step.token.end
                                                       : UINT32_MAX;
        if (only != UINT32_MAX && step.nextAt[0] != only) {
            std::swap(step.nextAt[0], step.nextAt[1]);
            std::swap(step.next[0], step.next[1]);
            std::swap(step.back[0], step.back[1]);
            if (step.nextAt[0] != only) step.next[0] = nullptr;  // never seen: the block ends there
        }
    }
    return block;
}

void ResolveBlock(Program& p, StatementBlock& block) {
    NumVarTable& table = p.Main().numMembers;
    block.tableGeneration = table.Generation();
    block.tableSize = table.Size();
    block.unresolved = false;
    for (BlockStep& step : block.steps)
        if (!ResolveStep(table, step)) block.unresolved = true;
}

void BindEndwhile(Program& p, StatementBlock& block, BlockStep& step, uint32_t top, CondCode* cond) {
    step.whileTop = top;
    // The block's numbers may not move while it runs: the condition's go
    // to the room kept for them when the block was made.
    std::vector<double> numbers;
    step.whileShort = LeafCondition(cond, step, numbers) && numbers.size() <= kConditionNumbers;
    if (step.whileShort) {
        for (BlockValue* value : {&step.value, &step.right})
            ForEachOperand(*value, [&](BlockOperand& operand) {
                if (operand.base == kNumbersBase) operand.index += step.numbersAt;
            });
        std::copy(numbers.begin(), numbers.end(), block.numbers.begin() + step.numbersAt);
    }
    if (!ResolveStep(p.Main().numMembers, step)) block.unresolved = true;
}

}  // namespace tallow
