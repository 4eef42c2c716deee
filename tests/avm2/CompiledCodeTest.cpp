// Byte code from a real compiler: Haxe programs compiled at build time, read by the
// movie reader and the ABC reader. Every method decodes to its last byte, and every
// branch, switch case and exception handler lands on an instruction (or the end).
#include "avm2/abc/AbcParser.h"
#include "avm2/abc/Disassembler.h"
#include "avm2/abc/Instruction.h"
#include "avm2/verify/ControlFlow.h"
#include "format/Movie.h"

#include <QtTest>
#include <fstream>
#include <iterator>
#include <set>

namespace {

std::vector<std::uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The DoABC blocks of a compiled movie's main timeline.
std::vector<avm2::abc::AbcFile> blocksOf(const std::string& name)
{
    const auto bytes = readFile(std::string(HAXE_MOVIES_DIR) + "/" + name + ".swf");
    const auto movie = swf::loadMovie(bytes);
    if (!movie)
        return {};
    std::vector<avm2::abc::AbcFile> blocks;
    for (const swf::Frame& frame : (*movie)->timeline.frames)
        for (const swf::ControlTag& tag : frame.tags)
            if (const auto* abc = std::get_if<swf::DoAbc>(&tag)) {
                auto parsed = avm2::abc::parseAbc(abc->abc);
                if (parsed.ok())
                    blocks.emplace_back(std::move(parsed).value());
                else
                    qWarning("%s", parsed.error().message().c_str());
            }
    return blocks;
}

struct Counts {
    std::size_t instructions = 0;
    std::size_t branches = 0;
};

// What is wrong with a body's code, or nothing.
QString checkBody(const avm2::abc::MethodBody& body, Counts& counts)
{
    std::set<std::int64_t> starts;
    std::vector<std::int64_t> targets;
    std::size_t offset = 0;
    while (offset < body.code.size()) {
        const auto ins = avm2::abc::readInstruction(body.code, offset);
        if (!ins)
            return QString("method %1: no instruction at %2").arg(body.method).arg(offset);
        starts.insert(static_cast<std::int64_t>(offset));
        if (avm2::abc::opcodeInfo(ins->code).layout == avm2::abc::OperandLayout::Branch)
            targets.push_back(ins->target);
        targets.insert(targets.end(), ins->cases.begin(), ins->cases.end());
        offset += ins->length;
        ++counts.instructions;
    }
    // Haxe leaves unreachable jumps to the end of the code after a return: the end is
    // a place a branch may name, though none may reach it.
    const auto end = static_cast<std::int64_t>(body.code.size());
    for (std::int64_t target : targets)
        if (!starts.count(target) && target != end)
            return QString("method %1: a branch to %2").arg(body.method).arg(target);
    counts.branches += targets.size();
    for (const auto& handler : body.exceptions) {
        const bool endsWell = handler.to == body.code.size() || starts.count(handler.to);
        if (!starts.count(handler.from) || !starts.count(handler.target) || !endsWell)
            return QString("method %1: a handler off the instructions").arg(body.method);
    }
    return {};
}

} // namespace

class CompiledCodeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void classesAreRead();
    void everyBodyDecodesToItsEnd();
    void everyBodyPassesControlFlow();
};

void CompiledCodeTest::classesAreRead()
{
    const auto blocks = blocksOf("Shapes");
    QCOMPARE(blocks.size(), 1u);
    const auto& abc = blocks[0];
    std::set<std::string> names;
    bool shapeIsInterface = false;
    for (const auto& instance : abc.instances) {
        const std::string name = avm2::abc::multinameText(abc, instance.name);
        names.insert(name);
        if (name == "Shape")
            shapeIsInterface = instance.flags & avm2::abc::instance_flags::kInterface;
    }
    for (const char* expected : {"Shape", "Circle", "Rectangle", "Shapes"})
        QVERIFY2(names.count(expected), expected);
    QVERIFY(shapeIsInterface);
    // The document class links the timeline to the program's boot class.
    QVERIFY(!abc.scripts.empty());
}

void CompiledCodeTest::everyBodyDecodesToItsEnd()
{
    const auto blocks = blocksOf("Shapes");
    QVERIFY(!blocks.empty());
    Counts counts;
    for (const auto& abc : blocks)
        for (const auto& body : abc.bodies) {
            const QString problem = checkBody(body, counts);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
    QVERIFY(counts.instructions > 500);
    QVERIFY(counts.branches > 10);
}

void CompiledCodeTest::everyBodyPassesControlFlow()
{
    const auto blocks = blocksOf("Shapes");
    QVERIFY(!blocks.empty());
    for (const auto& abc : blocks)
        for (const auto& body : abc.bodies) {
            const auto flow = avm2::analyseControlFlow(body);
            QVERIFY2(flow.ok(), flow.ok() ? "" : flow.error().message().c_str());
            QVERIFY(!flow->instructions.empty());
        }
}

QTEST_GUILESS_MAIN(CompiledCodeTest)
#include "CompiledCodeTest.moc"
