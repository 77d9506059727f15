#version 330 core

in vec3 v_color;
in float v_alpha;

uniform sampler2D s_texture;

out vec4 fragColor;

void main()
{
    vec4 sprite = texture(s_texture, gl_PointCoord);
    fragColor = vec4(sprite.rgb * v_color, sprite.a * v_alpha);
}
