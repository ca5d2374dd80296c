#include "textures.h"

#include "rng.h"
#include "vec.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace zellgen {

namespace {

struct Rgb
{
    double r = 0, g = 0, b = 0;
};

Rgb colour(const YAML::Node &n, Rgb fallback = {})
{
    if (!n)
        return fallback;
    return {n[0].as<double>() / 255.0, n[1].as<double>() / 255.0, n[2].as<double>() / 255.0};
}

Rgb mixRgb(const Rgb &a, const Rgb &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double smooth(double t)
{
    return t * t * (3 - 2 * t);
}

// Value noise on a periodic lattice, so that textures tile.
struct Noise
{
    uint64_t seed;
    double lattice(int x, int y, int period) const
    {
        x = ((x % period) + period) % period;
        y = ((y % period) + period) % period;
        return hashUnit(seed, uint64_t(x) * 73856093u ^ uint64_t(y) * 19349663u);
    }
    double at(double u, double v, int period) const
    {
        const double x = u * period, y = v * period;
        const int ix = int(std::floor(x)), iy = int(std::floor(y));
        const double fx = smooth(x - ix), fy = smooth(y - iy);
        const double a = lattice(ix, iy, period), b = lattice(ix + 1, iy, period);
        const double c = lattice(ix, iy + 1, period), d = lattice(ix + 1, iy + 1, period);
        return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
    }
    double fbm(double u, double v, int period, int octaves) const
    {
        double sum = 0, amp = 1, norm = 0;
        for (int o = 0; o < octaves; ++o) {
            sum += amp * at(u, v, period << o);
            norm += amp;
            amp *= 0.5;
        }
        return sum / norm;
    }
};

struct Region
{
    int x0, y0, x1, y1; // pixel rectangle, y from the bottom row
    bool wrap;
};

void paintLayer(std::vector<Rgb> &px, int width, const Region &r, const YAML::Node &layer)
{
    const std::string kind = layer["kind"].as<std::string>();
    const uint64_t seed = layer["seed"].as<uint64_t>(1);
    const int w = r.x1 - r.x0, h = r.y1 - r.y0;
    const double aspect = double(w) / h;
    auto at = [&](int x, int y) -> Rgb & { return px[size_t(y) * width + x]; };
    auto forEach = [&](auto fn) {
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x)
                fn(x, y, (x - r.x0 + 0.5) / w, (y - r.y0 + 0.5) / h);
    };

    if (kind == "noise") {
        Noise n{seed};
        const int period = layer["scale"].as<int>(8);
        const double amount = layer["amount"].as<double>(0.2);
        const int oct = layer["octaves"].as<int>(3);
        const Rgb tint = colour(layer["color"], {0, 0, 0});
        const bool tinted = bool(layer["color"]);
        forEach([&](int x, int y, double u, double v) {
            const double f = n.fbm(u, v, period, oct) * 2 - 1;
            Rgb &c = at(x, y);
            if (tinted)
                c = mixRgb(c, tint, std::max(0.0, f) * amount * 2);
            else
                c = {c.r * (1 + f * amount), c.g * (1 + f * amount), c.b * (1 + f * amount)};
        });
    } else if (kind == "spots" || kind == "rings") {
        Rng rng(seed);
        const int count = layer["count"].as<int>(50);
        const double rmin = layer["radius"][0].as<double>(), rmax = layer["radius"][1].as<double>();
        const Rgb col = colour(layer["color"]);
        const Rgb inner = colour(layer["inner"], col);
        const double soft = layer["softness"].as<double>(0.3);
        const double ringWidth = layer["width"].as<double>(0.3);
        const double vmin = layer["v_range"] ? layer["v_range"][0].as<double>() : 0.0;
        const double vmax = layer["v_range"] ? layer["v_range"][1].as<double>() : 1.0;
        for (int i = 0; i < count; ++i) {
            const double cu = rng.uniform(), cv = vmin + (vmax - vmin) * rng.uniform();
            const double rad = rmin + (rmax - rmin) * rng.uniform();
            const double stretch = layer["stretch"].as<double>(1.0);
            const int span = int(std::ceil(rad * h * std::max(1.0, stretch))) + 2;
            const int pcx = r.x0 + int(cu * w), pcy = r.y0 + int(cv * h);
            for (int dy = -span; dy <= span; ++dy)
                for (int dx = -span * std::max(1, int(std::ceil(1 / aspect)));
                     dx <= span * std::max(1, int(std::ceil(1 / aspect))); ++dx) {
                    int x = pcx + dx, y = pcy + dy;
                    if (r.wrap) {
                        x = r.x0 + ((x - r.x0) % w + w) % w;
                        y = r.y0 + ((y - r.y0) % h + h) % h;
                    } else if (x < r.x0 || x >= r.x1 || y < r.y0 || y >= r.y1)
                        continue;
                    // Distance measured in the region's v units, so that spots stay round.
                    const double du = dx / double(h) / stretch, dv = dy / double(h);
                    const double d = std::sqrt(du * du + dv * dv) / rad;
                    Rgb &c = at(x, y);
                    if (kind == "spots") {
                        if (d < 1) {
                            const double a = d < 1 - soft ? 1.0 : (1 - d) / std::max(soft, 1e-6);
                            c = mixRgb(c, mixRgb(inner, col, d), a);
                        }
                    } else {
                        if (d < 1 - ringWidth)
                            c = mixRgb(c, inner, 0.85);
                        else if (d < 1)
                            c = mixRgb(c, col, 1 - std::abs(d - (1 - ringWidth / 2)) / (ringWidth / 2) * 0.5);
                    }
                }
        }
    } else if (kind == "stripes") {
        const bool alongT = layer["axis"].as<std::string>("s") == "t";
        const double count = layer["count"].as<double>(10);
        const double width = layer["width"].as<double>(0.3);
        const double wobble = layer["wobble"].as<double>(0.0);
        const double wobbleFreq = layer["wobble_freq"].as<double>(3);
        const Rgb col = colour(layer["color"]);
        const double strength = layer["strength"].as<double>(1.0);
        forEach([&](int x, int y, double u, double v) {
            const double a = alongT ? v : u, b = alongT ? u : v;
            const double phase = a * count + wobble * std::sin(2 * M_PI * b * wobbleFreq);
            const double f = phase - std::floor(phase);
            const double d = std::abs(f - 0.5) * 2; // 0 in the stripe's middle
            if (d < width)
                at(x, y) = mixRgb(at(x, y), col, strength * (1 - d / width));
        });
    } else if (kind == "bands") {
        // Explicit layers across the region: [from, to, colour] along t (or s).
        const bool alongT = layer["axis"].as<std::string>("t") == "t";
        for (const auto &band : layer["bands"]) {
            const double from = band[0].as<double>(), to = band[1].as<double>();
            const Rgb col = colour(band[2]);
            forEach([&](int x, int y, double u, double v) {
                const double a = alongT ? v : u;
                if (a >= from && a < to)
                    at(x, y) = col;
            });
        }
    } else if (kind == "fibres") {
        Rng rng(seed);
        const int count = layer["count"].as<int>(200);
        const double len = layer["length"].as<double>(0.3);
        const double fw = layer["width"].as<double>(0.004);
        const double angle = layer["angle"].as<double>(0) * M_PI / 180;
        const double spread = layer["spread"].as<double>(20) * M_PI / 180;
        const Rgb col = colour(layer["color"]);
        const double strength = layer["strength"].as<double>(0.5);
        for (int i = 0; i < count; ++i) {
            const double cu = rng.uniform(), cv = rng.uniform();
            const double a = angle + spread * (rng.uniform() * 2 - 1);
            const int steps = int(len * std::max(w, h) * 2);
            for (int s = 0; s < steps; ++s) {
                const double t = (double(s) / steps - 0.5) * len;
                const double pu = cu + t * std::cos(a) / aspect, pv = cv + t * std::sin(a);
                const int rad = std::max(0, int(fw * h));
                for (int oy = -rad; oy <= rad; ++oy)
                    for (int ox = -rad; ox <= rad; ++ox) {
                        int x = r.x0 + int(std::floor(pu * w)) + ox, y = r.y0 + int(std::floor(pv * h)) + oy;
                        if (r.wrap) {
                            x = r.x0 + ((x - r.x0) % w + w) % w;
                            y = r.y0 + ((y - r.y0) % h + h) % h;
                        } else if (x < r.x0 || x >= r.x1 || y < r.y0 || y >= r.y1)
                            continue;
                        at(x, y) = mixRgb(at(x, y), col, strength);
                    }
            }
        }
    } else if (kind == "lattice") {
        const double cells = layer["cells"].as<double>(8);
        const double width = layer["width"].as<double>(0.15);
        const Rgb col = colour(layer["color"]);
        forEach([&](int x, int y, double u, double v) {
            const double fu = u * cells * aspect, fv = v * cells;
            const double du = std::abs(fu - std::round(fu)), dv = std::abs(fv - std::round(fv));
            if (du < width / 2 || dv < width / 2)
                at(x, y) = mixRgb(at(x, y), col, 0.8);
        });
    } else if (kind == "dotrows") {
        // Rows of round heads, e.g. the two leaflets of a lipid bilayer seen in section.
        const double spacing = layer["spacing"].as<double>(0.05);
        const double rad = layer["radius"].as<double>(0.02);
        const Rgb col = colour(layer["color"]);
        const Rgb rim = colour(layer["rim"], col);
        for (const auto &rowNode : layer["rows"]) {
            const double rv = rowNode.as<double>();
            forEach([&](int x, int y, double u, double v) {
                const double uu = u * aspect;
                const double cu = (std::floor(uu / spacing) + 0.5) * spacing;
                const double du = uu - cu, dv = (v - rv);
                const double d = std::sqrt(du * du + dv * dv) / rad;
                if (d < 1)
                    at(x, y) = mixRgb(col, rim, d * d);
            });
        }
    } else if (kind == "grana") {
        // Grana in section: columns of stacked thylakoid membranes, joined by stroma lamellae.
        const auto us = layer["columns"];
        const double colWidth = layer["width"].as<double>(0.08);
        const double lines = layer["lines"].as<double>(8);
        const Rgb col = colour(layer["color"]), light = colour(layer["light"], col);
        const double lamella = layer["lamella"].as<double>(0.5);
        forEach([&](int x, int y, double u, double v) {
            for (const auto &c : us) {
                const double cu = c[0].as<double>(), half = c[1].as<double>();
                if (std::abs(u - cu) < colWidth / 2 && std::abs(v - 0.5) < half) {
                    const double f = (v - 0.5 + half) / (2 * half) * lines;
                    at(x, y) = (f - std::floor(f)) < 0.6 ? col : light;
                    return;
                }
            }
            if (std::abs(v - lamella) < 0.012)
                at(x, y) = mixRgb(at(x, y), col, 0.7);
        });
    } else if (kind == "comb") {
        // Cristae in section: folds reaching in from alternate sides, with their lumen.
        const int count = layer["count"].as<int>(8);
        const double reach = layer["reach"].as<double>(0.6), width = layer["width"].as<double>(0.04);
        const double span = layer["span"].as<double>(0.7);
        const Rgb col = colour(layer["color"]), lumen = colour(layer["lumen"], col);
        forEach([&](int x, int y, double u, double v) {
            for (int k = 0; k < count; ++k) {
                const double cu = 0.5 - span / 2 + span * (count == 1 ? 0.5 : double(k) / (count - 1));
                const double du = std::abs(u - cu) / (width / 2);
                const double depth = k % 2 ? 1 - v : v; // from the bottom edge, then from the top
                // Rounded free end.
                const double over = std::max(0.0, depth - (reach - width / 2)) / (width / 2);
                const double d = std::sqrt(du * du + over * over);
                if (d < 1 && depth < reach + width / 2) {
                    at(x, y) = d < 0.45 ? lumen : col;
                    return;
                }
            }
        });
    } else if (kind == "proteins") {
        // Membrane proteins in a bilayer seen in section (v = 0 outside, 1 inside): integral ones
        // spanning it, channels with their pore, peripheral ones on the inner side, and sugar
        // chains on the outer side.
        const Rgb col = colour(layer["color"]), dark = colour(layer["dark"], col);
        const Rgb sugar = colour(layer["sugar"], col), pore = colour(layer["pore"], col);
        const double v0 = layer["span"][0].as<double>(), v1 = layer["span"][1].as<double>();
        auto w_px = [&] { return double(w); };
        for (const auto &p : layer["list"]) {
            const double cu = p["u"].as<double>(), w = p["width"].as<double>();
            const std::string type = p["type"].as<std::string>("integral");
            const bool glyco = p["sugar"].as<bool>(false);
            double a0 = v0, a1 = v1; // vertical extent of the protein
            if (type == "peripheral") {
                a0 = v1 - 0.02;
                a1 = std::min(1.0, v1 + 0.17);
            }
            const double cv = (a0 + a1) / 2, hv = (a1 - a0) / 2 + 0.03;
            forEach([&](int x, int y, double u, double v) {
                const double du = (u - cu) / (w / 2), dv = (v - cv) / hv;
                const double d = du * du + dv * dv;
                if (d < 1) {
                    Rgb c = mixRgb(col, dark, d);
                    if (type == "channel" && std::abs(du) < 0.18)
                        c = pore;
                    at(x, y) = c;
                }
                // A branched sugar chain of beads on the protein's outer end.
                if (glyco) {
                    const double px = (u - cu) * w_px(), py = (v - (cv - hv)) * h;
                    const double step = 0.045 * h, r = 0.018 * h;
                    const double beads[][2] = {{0, -1},     {0, -2},      {0, -3},    {-0.9, -3.6},
                                               {0.9, -3.6}, {-1.5, -4.4}, {0.9, -4.6}};
                    for (const auto &b : beads) {
                        const double bx = px - b[0] * step, by = py - b[1] * step;
                        if (bx * bx + by * by < r * r)
                            at(x, y) = sugar;
                    }
                }
            });
        }
    } else if (kind == "strands") {
        // Cytoplasmic strands crossing the cell sap, cut lengthwise: a core with a membrane edge.
        // Each strand runs from [u0, v0] to [u1, v1] (region units), slightly wavy.
        const Rgb core = colour(layer["color"]), edge = colour(layer["edge"], core);
        const double width = layer["width"].as<double>(0.02), wave = layer["wave"].as<double>(0.01);
        for (const auto &st : layer["list"]) {
            const double u0 = st[0].as<double>(), v0 = st[1].as<double>(), u1 = st[2].as<double>(),
                         v1 = st[3].as<double>();
            // Measured in v units, so that the strand is as wide in u as in v.
            const double ax = (u1 - u0) * aspect, ay = v1 - v0, len = std::sqrt(ax * ax + ay * ay);
            forEach([&](int x, int y, double u, double v) {
                const double px = (u - u0) * aspect, py = v - v0;
                const double t = (px * ax + py * ay) / (len * len);
                if (t < 0 || t > 1)
                    return;
                const double off = (px * ay - py * ax) / len - wave * std::sin(t * 2 * M_PI * 1.5);
                const double half = width / 2 * (1 + 0.35 * std::cos(t * 2 * M_PI * 2.3));
                // Soft by one pixel at both borders, so that the strand's edge does not step.
                const double px1 = 1.0 / h, d = std::abs(off);
                if (d < half + px1) {
                    const Rgb inner = mixRgb(core, edge, (d - half * 0.7) / px1 + 0.5);
                    at(x, y) = mixRgb(at(x, y), inner, (half - d) / px1 + 0.5);
                }
            });
        }
    } else if (kind == "pores") {
        // Nuclear pores where the pattern "sphere" of the same count puts them, painted on an
        // ellipsoid's texture (u along the x axis from pole to pole, v around it): a ring of the
        // pore complex around the dark channel.
        const int count = layer["count"].as<int>();
        const double rho = layer["radius"].as<double>(), ringWidth = layer["width"].as<double>(0.4);
        const Rgb col = colour(layer["color"]), inner = colour(layer["inner"], col);
        for (int i = 0; i < count; ++i) {
            const V3 d = fibonacciDir(i, count);
            const double eta = std::asin(std::clamp(d.x, -1.0, 1.0));
            const double u0 = (eta + M_PI / 2) / M_PI;
            double v0 = std::atan2(d.z, d.y) / (2 * M_PI);
            if (v0 < 0)
                v0 += 1;
            const double c = std::max(0.05, std::cos(eta));
            forEach([&](int x, int y, double u, double v) {
                double dv = v - v0;
                dv -= std::round(dv);
                const double du = (u - u0) * M_PI / rho, dw = dv * 2 * M_PI * c / rho;
                const double r = std::sqrt(du * du + dw * dw);
                if (r < 1 - ringWidth)
                    at(x, y) = mixRgb(at(x, y), inner, 0.9);
                else if (r < 1)
                    at(x, y) =
                        mixRgb(at(x, y), col, 1 - std::abs(r - (1 - ringWidth / 2)) / (ringWidth / 2) * 0.4);
            });
        }
    } else if (kind == "gradient") {
        const bool alongT = layer["axis"].as<std::string>("t") == "t";
        const Rgb col = colour(layer["color"]);
        const double amount = layer["amount"].as<double>(0.5);
        forEach([&](int x, int y, double u, double v) {
            const double a = alongT ? v : u;
            at(x, y) = mixRgb(at(x, y), col, a * amount);
        });
    } else {
        throw std::runtime_error("unknown texture layer kind: " + kind);
    }
}

} // namespace

zelle::Image paintTexture(const YAML::Node &spec)
{
    zelle::Image img;
    img.width = spec["size"][0].as<int>();
    img.height = spec["size"][1].as<int>();
    auto pow2 = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
    if (!pow2(img.width) || !pow2(img.height))
        throw std::runtime_error("texture sides must be powers of two");
    std::vector<Rgb> px(size_t(img.width) * img.height);
    for (const auto &reg : spec["regions"]) {
        Region r{0, 0, img.width, img.height, true};
        if (reg["rect"]) {
            r.x0 = int(std::lround(reg["rect"][0].as<double>() * img.width));
            r.y0 = int(std::lround(reg["rect"][1].as<double>() * img.height));
            r.x1 = int(std::lround(reg["rect"][2].as<double>() * img.width));
            r.y1 = int(std::lround(reg["rect"][3].as<double>() * img.height));
            r.wrap = reg["wrap"].as<bool>(false);
        }
        const Rgb base = colour(reg["base"], {1, 1, 1});
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x)
                px[size_t(y) * img.width + x] = base;
        for (const auto &layer : reg["layers"])
            paintLayer(px, img.width, r, layer);
    }
    img.rgb.resize(px.size() * 3);
    for (size_t i = 0; i < px.size(); ++i) {
        img.rgb[3 * i] = uint8_t(std::lround(std::clamp(px[i].r, 0.0, 1.0) * 255));
        img.rgb[3 * i + 1] = uint8_t(std::lround(std::clamp(px[i].g, 0.0, 1.0) * 255));
        img.rgb[3 * i + 2] = uint8_t(std::lround(std::clamp(px[i].b, 0.0, 1.0) * 255));
    }
    return img;
}

} // namespace zellgen
