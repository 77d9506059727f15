#version 330 core

// Shows the offscreen frame of a 1024 x 576 window as chunky pixel art. The
// frame is cut into the same 320 x 180 blocks at every window size, so the
// picture has the same blocky look whichever of the three sizes is open; each
// block takes the colour found at its centre.
const vec2 BLOCKS = vec2(320.0, 180.0);

in vec2 v_uv;

uniform sampler2D u_texture_sampler;
uniform float u_alpha;

out vec4 fragColor;

void main()
{
    vec2 blockCentre = (floor(v_uv * BLOCKS) + 0.5) / BLOCKS;
    vec4 texel = texture(u_texture_sampler, blockCentre);
    fragColor = vec4(texel.rgb, texel.a * u_alpha);
}
