#pragma once
// PROJ's own UTM as the reference for the program's Transverse Mercator (tests and benchmarks).
// One transformation per zone and hemisphere, WGS84 longitude/latitude in degrees (longitude
// first after normalisation) to easting/northing in metres.

#include <proj.h>

#include <map>
#include <stdexcept>
#include <string>
#include <utility>

class ProjUtm {
public:
    ProjUtm() : m_context(proj_context_create()) {}
    ~ProjUtm() {
        for (auto& entry : m_transforms)
            proj_destroy(entry.second);
        proj_context_destroy(m_context);
    }
    ProjUtm(const ProjUtm&) = delete;
    ProjUtm& operator=(const ProjUtm&) = delete;

    // EPSG:326zz (north) or EPSG:327zz (south).
    PJ* Transform(int zone, bool north) {
        const int code = (north ? 32600 : 32700) + zone;
        return Crs("EPSG:4326", "EPSG:" + std::to_string(code), code);
    }
    // Any pair of CRS, cached by a caller-chosen key.
    PJ* Crs(const std::string& from, const std::string& to, int key) {
        auto found = m_transforms.find(key);
        if (found != m_transforms.end())
            return found->second;
        PJ* raw = proj_create_crs_to_crs(m_context, from.c_str(), to.c_str(), nullptr);
        if (raw == nullptr)
            throw std::runtime_error("PROJ cannot create " + from + " -> " + to);
        PJ* normalised = proj_normalize_for_visualization(m_context, raw);
        proj_destroy(raw);
        m_transforms.emplace(key, normalised);
        return normalised;
    }

    static std::pair<double, double> Apply(PJ* transform, PJ_DIRECTION direction, double x, double y) {
        const PJ_COORD out = proj_trans(transform, direction, proj_coord(x, y, 0.0, 0.0));
        return {out.xy.x, out.xy.y};
    }

private:
    PJ_CONTEXT* m_context;
    std::map<int, PJ*> m_transforms;
};
