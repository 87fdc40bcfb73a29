// The picture quad: positions in clip space, texture coordinates per vertex.
attribute vec3 a_Position;
attribute vec2 a_texCoords;
varying vec2 v_texCoords;

void main()
{
    gl_Position = vec4(a_Position, 1.0);
    v_texCoords = a_texCoords;
}
