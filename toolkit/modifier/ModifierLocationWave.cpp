#include "toolkit/modifier/ModifierLocationWave.h"

#include "toolkit/sprite/Sprite.h"

#include <algorithm>
#include <cmath>

const ClassRecord ModifierLocationWave::classRecord("ModifierLocationWave", &Modifier::classRecord);

ModifierLocationWave::ModifierLocationWave(int centreX, int centreY, int startRadius, int endRadius, float startAngle,
                                           float endAngle, float radiusSpeed, float angleSpeed)
    : startRadius(startRadius), endRadius(endRadius), radiusSpeed(radiusSpeed), startAngle(startAngle),
      endAngle(endAngle), angleSpeed(angleSpeed)
{
    setStart(centreX, centreY);
}

ModifierLocationWave* ModifierLocationWave::start(Sprite* sprite, int centreX, int centreY, int startRadius,
                                                  int endRadius, float startAngle, float endAngle, float radiusSpeed,
                                                  float angleSpeed, int options)
{
    auto* modifier =
        new ModifierLocationWave(centreX, centreY, startRadius, endRadius, startAngle, endAngle, radiusSpeed, angleSpeed);
    modifier->setOptions(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

void ModifierLocationWave::update()
{
    if (!sprite)
        return;
    const double radius = lerp(startRadius, endRadius, radiusT);
    const double angle = lerp(startAngle, endAngle, angleT);
    currentX = static_cast<float>(std::cos(angle) * radius + startPoint.x);
    currentY = static_cast<float>(std::sin(angle) * radius + startPoint.y);
    if (adjustX)
        sprite->setX(toInt(currentX));
    if (adjustY)
        sprite->setY(toInt(currentY));
    if (done) {
        finish();
        return;
    }
    const float ratio = frameRatio();
    radiusT = std::min(1.0f, radiusT + ratio * radiusSpeed);
    angleT = std::min(1.0f, angleT + ratio * angleSpeed);
    done = radiusT == 1.0f && angleT == 1.0f;
}
