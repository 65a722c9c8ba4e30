// frames.cpp - the web build's frames and FIR outputs, for comparison with
// the native tools' (run under node, which gives it the real files):
//
//   frames voxel DATA DEPTH RENDERER N OUT   the frame buffer after N frames
//                                            of the flight, as voxel-render
//                                            --raw writes it (DEPTH 8, 16,
//                                            16-555, 24 or 32; RENDERER
//                                            standard or vector)
//   frames fir OUT                           x, h, the scalar and the vector
//                                            kernel's y, as fir-bench --dump
//                                            writes them
//   frames time DATA DEPTH MS                the renderers alone: each draws
//                                            the flight for MS milliseconds;
//                                            prints "standard_fps=X
//                                            vector_fps=Y ratio=Z" (the
//                                            frames' rate over the time in
//                                            the renderer calls only)
// Status 0, or 1 with one line on standard error.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fir/bench/fir_kernels.h"
#include "voxel/display/data_folder.h"
#include "voxel/display/pixel_convert.h"
#include "voxel/render/renderers.h"
#include "voxel/render/sky_size.h"
#include "voxel/render/terrain.h"

namespace {

int fail(const std::string &message) {
    std::fprintf(stderr, "frames: %s\n", message.c_str());
    return 1;
}

bool write_file(const char *path, const void *bytes, size_t size) {
    std::FILE *f = std::fopen(path, "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

// Each frame as the tool draws it: the sky refilled, the camera stepped,
// the terrain drawn over the whole width.
bool load(const char *data, const std::string &depth) {
    const char *depths[] = {"8", "16", "24", "32"};
    pixel_depth = 4;
    for (int d = 0; d < 4; d++)
        if (depth == depths[d]) pixel_depth = d;
    if (depth == "16-555") pixel_depth = 1, pixel_format_555 = 1;
    if (pixel_depth == 4) return fail("depth " + depth) == 0;
    data_folder = std::string(data) + "/";
    if (init_terrain() != 0) return fail(std::string(data) + ": the landscape cannot be used") == 0;
    return true;
}

int voxel_frames(const char *data, const std::string &depth, const std::string &renderer, long frames,
                 const char *out) {
    if (renderer != "standard" && renderer != "vector") return fail("renderer " + renderer);
    if (!load(data, depth)) return 1;

    const size_t bytes = size_t(frame_width) * size_t(frame_height) * size_t(bytes_per_pixel(pixel_depth));
    std::memset(frame_buffer, 0, bytes);
    camera_state cam = camera_start;
    for (long i = 0; i < frames; i++) {
        std::memcpy(frame_buffer, cloud_image, sky_bytes(pixel_depth, frame_width, frame_height));
        step_camera(cam);
        if (renderer == "standard")
            render_standard_part(pixel_depth, cam, frame_buffer, 0, frame_width);
        else
            render_vector_part(pixel_depth, cam, frame_buffer, 0, frame_width);
    }
    if (!write_file(out, frame_buffer, bytes)) return fail(std::string(out) + ": cannot write");
    return 0;
}

// Frames per second of one renderer over `ms` of flight, counting only the
// time inside its calls.
double renderer_rate(bool vector, double ms) {
    using clock = std::chrono::steady_clock;
    camera_state cam = camera_start;
    double inside = 0.0;
    long frames = 0;
    for (; inside < ms; frames++) {
        std::memcpy(frame_buffer, cloud_image, sky_bytes(pixel_depth, frame_width, frame_height));
        step_camera(cam);
        const auto start = clock::now();
        if (vector)
            render_vector_part(pixel_depth, cam, frame_buffer, 0, frame_width);
        else
            render_standard_part(pixel_depth, cam, frame_buffer, 0, frame_width);
        inside += std::chrono::duration<double, std::milli>(clock::now() - start).count();
    }
    return frames * 1000.0 / inside;
}

int time_renderers(const char *data, const std::string &depth, double ms) {
    if (!load(data, depth)) return 1;
    const double standard = renderer_rate(false, ms), vector = renderer_rate(true, ms);
    std::printf("standard_fps=%.1f vector_fps=%.1f ratio=%.2f\n", standard, vector, vector / standard);
    return 0;
}

void put_floats(std::vector<unsigned char> &bytes, const float *values, int count) {
    for (int i = 0; i < count; i++) {
        uint32_t word;
        std::memcpy(&word, &values[i], 4);
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back((unsigned char)(word >> shift));
    }
}

int fir_outputs(const char *out) {
    static float input[fir::sample_count], taps[fir::tap_count], scalar_output[fir::sample_count];
    float *padded, *coef, *vector_output;
    void *blocks[3];
    fir_make_data(input, taps);
    fir_scalar(input, fir::sample_count, taps, fir::tap_count, scalar_output);
    fir_prepare_vector(input, &padded, taps, &coef, &vector_output, blocks);
    fir_vector(padded, fir::sample_count, coef, vector_output);
    std::vector<unsigned char> bytes;
    put_floats(bytes, input, fir::sample_count);
    put_floats(bytes, taps, fir::tap_count);
    put_floats(bytes, scalar_output, fir::sample_count);
    put_floats(bytes, vector_output, fir::sample_count);
    if (!write_file(out, bytes.data(), bytes.size())) return fail(std::string(out) + ": cannot write");
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc == 7 && std::strcmp(argv[1], "voxel") == 0)
        return voxel_frames(argv[2], argv[3], argv[4], std::atol(argv[5]), argv[6]);
    if (argc == 3 && std::strcmp(argv[1], "fir") == 0) return fir_outputs(argv[2]);
    if (argc == 5 && std::strcmp(argv[1], "time") == 0) return time_renderers(argv[2], argv[3], std::atof(argv[4]));
    return fail("usage: frames voxel DATA DEPTH standard|vector N OUT | frames fir OUT | frames time DATA DEPTH MS");
}
