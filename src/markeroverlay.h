#pragma once
// Boxes of detected objects in the 3D view, keyed by the object's id. An item that is not
// refreshed within its lifetime is removed by the purge that the interactor's 1000 ms timer runs.

#include <vtkActor.h>
#include <vtkBillboardTextActor3D.h>
#include <vtkRenderer.h>
#include <vtkSmartPointer.h>
#include <vtkTextActor.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

// One marker. Copies share their actors.
struct MarkerItem {
    int id = -999; // -999: no such item
    int kind = 0;  // 0 box; the text kinds 1 (in the scene) and 2 (on the screen) are never made
    vtkSmartPointer<vtkActor> boxActor;
    vtkSmartPointer<vtkBillboardTextActor3D> labelActor;
    vtkSmartPointer<vtkTextActor> textActor;
    double center[3] = {0.0, 0.0, 0.0}; // metres
    double size[3] = {0.0, 0.0, 0.0};   // extent along x, y, z
    double color[3] = {0.0, 0.0, 0.0};  // 0 to 1
    float lineWidth = 1.0f;
    int fontSize = 20;
    std::string text; // the object's class name; a box shows no text
    bool visible = true;
    bool expires = true;
    float lifetime = 3.0f;   // seconds after the last update
    uint64_t lastUpdate = 0; // milliseconds since 1970
};

class MarkerOverlay {
public:
    // Milliseconds since 1970; tests put their own clock in.
    using Clock = std::function<uint64_t()>;

    explicit MarkerOverlay(vtkRenderer *renderer);

    int add(int id, int kind, const std::string &text, const double center[3], const double size[3],
            const double color[3], double lineWidth, int fontSize, bool visible, bool expires, float lifetime);
    // A copy of the stored item, or a default item (id -999) when there is none.
    MarkerItem find(int id) const;
    bool remove(int id);
    void clear();
    void purgeExpired();
    void render();
    void updatePose(int id, const double center[3], const double size[3]);
    void createBox(MarkerItem &item);

    void setClock(Clock clock);
    static uint64_t universalMillis();
    size_t count() const { return items_.size(); }

private:
    void removeActors(const MarkerItem &item);

    vtkRenderer *renderer_;
    std::map<int, MarkerItem> items_;
    Clock clock_;
};
