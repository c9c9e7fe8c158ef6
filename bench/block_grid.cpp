// The block grid's work for one click: finding the group under the pointer, taking it out of the field,
// and letting the rest fall and close up. Measured on a full classic field of the data set's size and on
// fields with 4 and 16 times as many cells, to show that the cost grows with the number of cells and no
// faster (the group search walks with a stack of its own, so a large group cannot exhaust the call stack).
//
// Fields are filled with three colours from a fixed seed, so groups have realistic sizes; the largest
// case clicks a field of one colour, where the whole field is one group. Setting a field up again after a
// click is left out of the times; it makes a block sprite with its own surface for every cell and costs a
// hundred times what the click does, so the benchmarks that need a fresh field for every click measure
// fewer clicks (kFreshFieldTime of timed work each) to finish in seconds rather than minutes.
//
// Goals (none was set before, so these are the program's own): a click's work on the classic field, even
// one that takes the whole field, within 200 microseconds of CPU, a hundredth of the 20 ms frame it
// happens in; and on the field with 16 times the cells within 24 times the classic field's time (linear
// growth, with half again for the larger field's poorer use of the cache).
#include "bench/support/Goals.h"
#include "game/block/Block.h"
#include "game/level/ClassicLevel.h"
#include "runtime/DebugLog.h"

#include <tinyxml.h>

#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Timed work per benchmark that sets a field up for every iteration.
constexpr double kFreshFieldTime = 0.02;

struct FieldSize {
    int columns = 12;
    int rows = 11;
};

// The classic field of the data set ("LEVEL_NORMAL_CLASSIC"), when the benchmark runs where the sources
// are; otherwise the size the data set gives it.
FieldSize gameField()
{
    FieldSize size;
    for (const char* path : {"assets/layout/base.xml", "../assets/layout/base.xml", "../../assets/layout/base.xml",
                             "../../../assets/layout/base.xml"}) {
        TiXmlDocument document(path);
        if (!document.LoadFile())
            continue;
        for (const TiXmlElement* e = document.RootElement() ? document.RootElement()->FirstChildElement() : nullptr; e;
             e = e->NextSiblingElement()) {
            const char* id = e->Attribute("id");
            if (id && std::string(id) == "LEVEL_NORMAL_CLASSIC") {
                e->QueryIntAttribute("width", &size.columns);
                e->QueryIntAttribute("height", &size.rows);
                return size;
            }
        }
    }
    return size;
}

// Stands in for the play field, which keeps a removed block on its canvas while the removal plays: the
// blocks are let go when the field is set up again, outside the times.
class KeepingRemover : public BlockRemover {
public:
    ~KeepingRemover() override { releaseAll(); }
    void removeBlockSprite(Block* block, int) override
    {
        block->addRef();
        kept.push_back(block);
        block->setState(BlockStateRemoving);
    }
    void releaseAll()
    {
        for (Block* block : kept)
            block->release();
        kept.clear();
    }
    std::vector<Block*> kept;
};

// A classic level of `scale` times the game field's columns and rows.
struct Field {
    Field(int scale, int colours) : colours(colours)
    {
        DebugLog::instance().setDebuggerOutput(false);
        const FieldSize size = gameField();
        columns = size.columns * scale;
        rows = size.rows * scale;
        std::ostringstream xml;
        xml << "<classiclevel width='" << columns << "' height='" << rows
            << "' blockwidth='32' blockheight='32'><level/></classiclevel>";
        definition.Parse(xml.str().c_str());
        level = static_cast<ClassicLevel*>(static_cast<RefObject*>(ClassicLevel::create(definition.RootElement())));
        level->addRef();
        level->setPlayField(&remover);
    }
    ~Field()
    {
        level->release();
        remover.releaseAll();
    }

    // Every cell filled again, the same way each time.
    void fill()
    {
        level->clear();
        remover.releaseAll();
        std::mt19937 rng(1234);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < columns; ++x)
                level->setBlock(x, y,
                                new Block(level, x, y, BlockTypeColour, static_cast<int>(rng() % colours), 1, true));
    }

    // The top half filled, every other column empty: everything falls and half the columns close up.
    void fillForGravity()
    {
        level->clear();
        for (int y = 0; y < rows / 2; ++y)
            for (int x = 0; x < columns; x += 2)
                level->setBlock(x, y, new Block(level, x, y, BlockTypeColour, 0, 1, true));
    }

    int cells() const { return columns * rows; }

    TiXmlDocument definition;
    KeepingRemover remover;
    ClassicLevel* level = nullptr;
    int columns = 0;
    int rows = 0;
    int colours;
};

// Selecting the whole field as one group (one colour), then clearing the selection.
void BM_SelectWholeField(benchmark::State& state)
{
    Field field(static_cast<int>(state.range(0)), 1);
    field.fill();
    Block* corner = field.level->getBlock(0, field.rows - 1);
    for (auto _ : state) {
        field.level->deselectAll();
        field.level->selectGroup(corner);
        benchmark::DoNotOptimize(field.level->getSelectedCount());
    }
    state.SetComplexityN(field.cells());
    state.counters["cells"] = field.cells();
}
BENCHMARK(BM_SelectWholeField)->Arg(1)->Arg(2)->Arg(4)->Complexity(benchmark::oN);

// Falling and closing columns over a field whose lower half and every other column are empty.
void BM_Gravity(benchmark::State& state)
{
    Field field(static_cast<int>(state.range(0)), 1);
    for (auto _ : state) {
        state.PauseTiming();
        field.fillForGravity();
        state.ResumeTiming();
        field.level->applyGravity();
    }
    state.SetComplexityN(field.cells());
    state.counters["cells"] = field.cells();
}
BENCHMARK(BM_Gravity)->Arg(1)->Arg(2)->Arg(4)->MinTime(kFreshFieldTime)->Complexity(benchmark::oN);

// One click's work on a full field of three colours: the group under the bottom middle cell is selected,
// removed and the field settles.
void BM_Click(benchmark::State& state)
{
    Field field(static_cast<int>(state.range(0)), 3);
    long long removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        field.fill();
        Block* clicked = field.level->getBlock(field.columns / 2, field.rows - 1);
        state.ResumeTiming();
        field.level->deselectAll();
        field.level->setSelectionOrigin(clicked);
        field.level->selectGroup(clicked);
        removed += field.level->getSelectedCount();
        field.level->removeGroup(clicked, 0);
        field.level->applyGravity();
    }
    state.SetComplexityN(field.cells());
    state.counters["cells"] = field.cells();
    state.counters["group"] = benchmark::Counter(static_cast<double>(removed), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Click)->Arg(1)->Arg(2)->Arg(4)->MinTime(kFreshFieldTime)->Complexity(benchmark::oN);

// The same click where the whole field is one group: the largest removal and the deepest search.
void BM_ClickOneColour(benchmark::State& state)
{
    Field field(static_cast<int>(state.range(0)), 1);
    for (auto _ : state) {
        state.PauseTiming();
        field.fill();
        Block* clicked = field.level->getBlock(field.columns / 2, field.rows - 1);
        state.ResumeTiming();
        field.level->deselectAll();
        field.level->selectGroup(clicked);
        field.level->removeGroup(clicked, 0);
        field.level->applyGravity();
    }
    state.SetComplexityN(field.cells());
    state.counters["cells"] = field.cells();
}
BENCHMARK(BM_ClickOneColour)->Arg(1)->Arg(2)->Arg(4)->MinTime(kFreshFieldTime)->Complexity(benchmark::oN);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithGoals(
        argc, argv,
        {{"BM_Click/1", bench::kCpuMicroseconds, 200.0, true, "click on the classic field, CPU us"},
         {"BM_ClickOneColour/1", bench::kCpuMicroseconds, 200.0, true, "whole-field click on the classic field, CPU us"}},
        {{"BM_SelectWholeField/4", "BM_SelectWholeField/1", true, 24.0, true, "whole-field search, 16x cells / classic"},
         {"BM_Click/4", "BM_Click/1", true, 24.0, true, "click, 16x cells / classic"},
         {"BM_ClickOneColour/4", "BM_ClickOneColour/1", true, 24.0, true, "whole-field click, 16x cells / classic"}});
}
