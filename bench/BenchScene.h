#pragma once

#include "runtime/DrawList.h"

#include <QSize>
#include <memory>
#include <vector>

// The benchmark's scenes: many shapes, some with gradients, bitmaps, and sprites that
// move as a whole, all moving from frame to frame across a 1920x1080 stage.
struct BenchSceneSettings {
    int shapes = 100;      // moving shapes at the top level
    int gradientEvery = 5; // one shape in this many has a gradient (1: all)
    int bitmaps = 10;      // bitmap-filled shapes
    int sprites = 5;       // sprites, each with a few shapes and a sprite inside
    int movingEvery = 1;   // one top-level shape in this many moves; the rest stay
};

class BenchScene {
public:
    explicit BenchScene(const BenchSceneSettings& settings);
    runtime::DrawList frame(int n) const;
    static QSize stageSize() { return {1920, 1080}; }

private:
    struct Mover {
        const swf::Character* character = nullptr;
        double x = 0, y = 0, vx = 0, vy = 0, angle = 0, spin = 0;
        std::uint64_t id = 0;
    };
    swf::Matrix placeAt(const Mover& mover, int n) const;

    std::shared_ptr<swf::MovieDefinition> m_movie;
    std::vector<Mover> m_shapes;
    std::vector<Mover> m_sprites;
    std::vector<std::vector<Mover>> m_spriteContents; // relative to the sprite
    int m_movingEvery = 1;
};
