#include "platform/app/Scene.h"

Scene::Scene(Application* owner, const std::string& name) : owner(owner), sceneName(name) {}

Scene::~Scene()
{
    owner = nullptr;
}
