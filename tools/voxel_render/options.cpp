// options.cpp - the command line of voxel-render.
#include <cstdlib>
#include <cstring>

#include "tools/shared/speedups.h"
#include "tools/voxel_render/voxel_render.h"

namespace {

constexpr long max_frames = 1000000;

bool parse_depth(const std::string &v, render_options *o) {
    const char *names[] = {"8", "16", "24", "32"};
    for (int d = 0; d < 4; ++d)
        if (v == names[d]) {
            o->depth = d;
            o->format_555 = false;
            return true;
        }
    if (v == "16-555") {
        o->depth = 1;
        o->format_555 = true;
        return true;
    }
    return false;
}

bool parse_frames(const std::string &v, long *frames) {
    if (v.empty() || v.size() > 7 || v.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *frames = std::strtol(v.c_str(), nullptr, 10);
    return *frames >= 1 && *frames <= max_frames;
}

// One option that takes a value; false with the message set.
bool apply_valued(const std::string &name, const std::string &v, render_options *o, std::string *error) {
    if (name == "--data") {
        o->data_dir = v;
    } else if (name == "--depth") {
        if (!parse_depth(v, o)) {
            *error = "--depth must be 8, 16, 16-555, 24 or 32, not '" + v + "'";
            return false;
        }
    } else if (name == "--renderer") {
        if (!find_render_path(v)) {
            *error = "--renderer must be standard, vector, avx2 or avx512, not '" + v + "'";
            return false;
        }
        o->renderer = v;
    } else if (name == "--frames") {
        if (!parse_frames(v, &o->frames)) {
            *error = "--frames must be a whole number from 1 to 1000000, not '" + v + "'";
            return false;
        }
        o->frames_given = true;
    } else if (name == "--threads") {
        if (!parse_threads(v, &o->threads)) {
            *error = "--threads must be all or a whole number from 1 to " + std::to_string(max_threads) + ", not '" +
                     v + "'";
            return false;
        }
    } else if (name == "--variant") {
        if (v != "scalar-reads" && v != "gathers") {
            *error = "--variant must be scalar-reads or gathers, not '" + v + "'";
            return false;
        }
        o->variant = v;
    } else if (name == "--raw") {
        o->raw_path = v;
    } else {
        o->png_path = v;
    }
    return true;
}

bool takes_value(const std::string &name) {
    return name == "--data" || name == "--depth" || name == "--renderer" || name == "--frames" ||
           name == "--threads" || name == "--variant" || name == "--raw" || name == "--png";
}

}  // namespace

bool parse_render_options(int argc, char **argv, render_options *options, std::string *error) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--time") {
            options->time = true;
        } else if (name == "--compare") {
            options->compare = true;
        } else if (name == "--help" || name == "-h") {
            options->help = true;
        } else if (name == "--version") {
            options->version = true;
        } else if (takes_value(name)) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                *error = name + " needs a value";
                return false;
            }
            if (!apply_valued(name, argv[++i], options, error))
                return false;
        } else {
            *error = "unknown argument '" + name + "' (see --help)";
            return false;
        }
    }
    return true;
}
