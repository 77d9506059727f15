#version 330 core

// The font is drawn white (or black) on transparent: its alpha is the glyph's
// coverage, and the text colour tints whatever shade the glyph has.
in vec2 v_uv;

uniform sampler2D u_texture_sampler;
uniform vec3 u_color;
uniform float u_alpha;

out vec4 fragColor;

void main()
{
    vec4 glyph = texture(u_texture_sampler, v_uv);
    fragColor = vec4(glyph.rgb * u_color, glyph.a * u_alpha);
}
