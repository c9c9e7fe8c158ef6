#include "FieldModel.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace playthrough {

FieldModel::FieldModel(int width, int height)
    : columns(width), rows(height), cells(static_cast<std::size_t>(width * height), Empty)
{
}

int FieldModel::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= columns || y >= rows)
        return Empty;
    return cells[static_cast<std::size_t>(y * columns + x)];
}

void FieldModel::set(int x, int y, int kind)
{
    if (x >= 0 && y >= 0 && x < columns && y < rows)
        cells[static_cast<std::size_t>(y * columns + x)] = kind;
}

int FieldModel::count(int kind) const
{
    return static_cast<int>(std::count(cells.begin(), cells.end(), kind));
}

int FieldModel::occupied() const
{
    return static_cast<int>(cells.size()) - count(Empty);
}

int FieldModel::fillHeight() const
{
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            if (at(x, y) != Empty)
                return rows - y;
    return 0;
}

std::vector<Cell> FieldModel::groupAt(int x, int y) const
{
    std::vector<Cell> group;
    const int kind = at(x, y);
    if (kind == Empty || kind == Other)
        return group;
    std::vector<bool> seen(cells.size(), false);
    std::vector<Cell> stack{{x, y}};
    seen[static_cast<std::size_t>(y * columns + x)] = true;
    while (!stack.empty()) {
        const Cell c = stack.back();
        stack.pop_back();
        group.push_back(c);
        const Cell next[] = {{c.x - 1, c.y}, {c.x + 1, c.y}, {c.x, c.y - 1}, {c.x, c.y + 1}};
        for (const Cell& n : next) {
            if (at(n.x, n.y) != kind)
                continue;
            const auto index = static_cast<std::size_t>(n.y * columns + n.x);
            if (!seen[index]) {
                seen[index] = true;
                stack.push_back(n);
            }
        }
    }
    return group;
}

FieldModel FieldModel::without(const std::vector<Cell>& group) const
{
    FieldModel after = *this;
    for (const Cell& c : group)
        after.set(c.x, c.y, Empty);
    // Fall: each column's blocks sink to the bottom in their order.
    for (int x = 0; x < columns; ++x) {
        int write = rows - 1;
        for (int y = rows - 1; y >= 0; --y) {
            const int kind = after.at(x, y);
            if (kind == Empty)
                continue;
            after.set(x, y, Empty);
            after.set(x, write--, kind);
        }
    }
    // Columns whose bottom cell is empty close toward the middle from both halves.
    FieldModel closed(columns, rows);
    const int middle = columns / 2;
    auto moveColumn = [&](int from, int to) {
        for (int y = 0; y < rows; ++y)
            closed.set(to, y, after.at(from, y));
    };
    int target = middle - 1;
    for (int x = middle - 1; x >= 0; --x)
        if (after.at(x, rows - 1) != Empty)
            moveColumn(x, target--);
    target = middle;
    for (int x = middle; x < columns; ++x)
        if (after.at(x, rows - 1) != Empty)
            moveColumn(x, target++);
    return closed;
}

int FieldModel::biggestGold() const
{
    int biggest = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            if (at(x, y) == Gold)
                biggest = std::max(biggest, static_cast<int>(groupAt(x, y).size()));
    return biggest;
}

namespace {

struct Rgb {
    int r, g, b;
};

int distance(const Rgb& a, const Rgb& b)
{
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

Rgb rgbOf(std::uint32_t pixel)
{
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

// The base colours of the five block colours, as the art draws their faces.
const Rgb kColours[] = {{0xD5, 0x5E, 0x00}, {0x56, 0xB4, 0xE9}, {0x00, 0x9E, 0x73}, {0xF0, 0xE4, 0x42}, {0xCC, 0x79, 0xA7}};
// The nuggets of a gold block.
const Rgb kGold[] = {{0xF2, 0xC2, 0x30}, {0xFF, 0xE2, 0x7A}, {0xB8, 0x86, 0x1B}};

int classify(const compat::host::Picture& screen, int x0, int y0, int size)
{
    std::vector<int> reds, greens, blues;
    for (int y = y0 + size * 7 / 16; y < y0 + size * 7 / 8; ++y)
        for (int x = x0 + size * 7 / 16; x < x0 + size * 7 / 8; ++x) {
            const Rgb c = rgbOf(screen.at(x, y));
            reds.push_back(c.r);
            greens.push_back(c.g);
            blues.push_back(c.b);
        }
    auto median = [](std::vector<int>& values) {
        std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
        return values[values.size() / 2];
    };
    const Rgb face{median(reds), median(greens), median(blues)};
    for (int colour = 0; colour < 5; ++colour)
        if (distance(face, kColours[colour]) <= 24)
            return colour;
    int gold = 0, all = 0;
    for (int y = y0 + 2; y < y0 + size - 2; ++y)
        for (int x = x0 + 2; x < x0 + size - 2; ++x, ++all)
            for (const Rgb& nugget : kGold)
                if (distance(rgbOf(screen.at(x, y)), nugget) <= 28) {
                    ++gold;
                    break;
                }
    if (gold * 8 >= all)
        return Gold;
    return Empty;
}

} // namespace

FieldModel readField(const compat::host::Picture& screen, int left, int top, int cellSize, int width, int height)
{
    FieldModel field(width, height);
    if (screen.width < left + width * cellSize || screen.height < top + height * cellSize)
        return field;
    for (int x = 0; x < width; ++x) {
        bool blockAbove = false;
        for (int y = 0; y < height; ++y) {
            int kind = classify(screen, left + x * cellSize, top + y * cellSize, cellSize);
            if (kind == Empty && blockAbove)
                kind = Other; // blocks rest on blocks: what holds one up is a block too
            blockAbove = blockAbove || kind != Empty;
            field.set(x, y, kind);
        }
    }
    return field;
}

namespace {

// How good a field is for ending the level: a gold group big enough wins outright; otherwise gold
// that touches or lies close to other gold, and a low field.
long goldScore(const FieldModel& field, int minimumGroup)
{
    std::vector<Cell> golds;
    for (int y = 0; y < field.height(); ++y)
        for (int x = 0; x < field.width(); ++x)
            if (field.at(x, y) == Gold)
                golds.push_back({x, y});
    long score = 0;
    if (field.biggestGold() >= minimumGroup)
        score += 1000000;
    score += 2000L * field.biggestGold();
    // The closeness of the best-placed gold pairs.
    for (std::size_t i = 0; i < golds.size(); ++i) {
        int nearest = INT_MAX, second = INT_MAX;
        for (std::size_t j = 0; j < golds.size(); ++j) {
            if (i == j)
                continue;
            const int d = std::abs(golds[i].x - golds[j].x) + std::abs(golds[i].y - golds[j].y);
            if (d < nearest) {
                second = nearest;
                nearest = d;
            } else if (d < second) {
                second = d;
            }
        }
        if (nearest != INT_MAX)
            score -= 40L * nearest;
        if (second != INT_MAX)
            score -= 20L * second;
    }
    score -= 5L * field.occupied();
    return score;
}

struct Option {
    Cell click;
    FieldModel after;
};

std::vector<Option> options(const FieldModel& field, int minimumGroup, bool goldToo)
{
    std::vector<Option> found;
    std::vector<bool> seen(static_cast<std::size_t>(field.width() * field.height()), false);
    for (int y = 0; y < field.height(); ++y)
        for (int x = 0; x < field.width(); ++x) {
            const int kind = field.at(x, y);
            if (seen[static_cast<std::size_t>(y * field.width() + x)] || kind == Empty || kind == Other)
                continue;
            const std::vector<Cell> group = field.groupAt(x, y);
            for (const Cell& c : group)
                seen[static_cast<std::size_t>(c.y * field.width() + c.x)] = true;
            if (static_cast<int>(group.size()) < minimumGroup || (kind == Gold && !goldToo))
                continue;
            found.push_back({group.front(), field.without(group)});
        }
    return found;
}

} // namespace

std::optional<Cell> chooseClick(const FieldModel& field, int minimumGroup)
{
    for (int y = 0; y < field.height(); ++y)
        for (int x = 0; x < field.width(); ++x)
            if (field.at(x, y) == Gold && static_cast<int>(field.groupAt(x, y).size()) >= minimumGroup)
                return Cell{x, y};

    const std::vector<Option> first = options(field, minimumGroup, false);
    std::optional<Cell> best;
    long bestScore = LONG_MIN;
    for (const Option& one : first) {
        long score = goldScore(one.after, minimumGroup);
        for (const Option& two : options(one.after, minimumGroup, false))
            score = std::max(score, goldScore(two.after, minimumGroup) - 1);
        if (score > bestScore) {
            bestScore = score;
            best = one.click;
        }
    }
    return best;
}

} // namespace playthrough
