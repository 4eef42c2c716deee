// Classes, an interface, closures, a switch, exceptions, typed vectors and dynamic
// objects: byte code from a real compiler for the ActionScript 3 tests.
interface Shape {
    function area():Float;
    function name():String;
}

class Circle implements Shape {
    var radius:Float;
    public function new(radius:Float) { this.radius = radius; }
    public function area():Float { return Math.PI * radius * radius; }
    public function name():String { return "circle"; }
}

class Rectangle implements Shape {
    var width:Int;
    var height:Int;
    public function new(width:Int, height:Int) { this.width = width; this.height = height; }
    public function area():Float { return width * height; }
    public function name():String { return "rectangle"; }
}

class Shapes {
    static function describe(shape:Shape):String {
        return switch (shape.name()) {
            case "circle": "round";
            case "rectangle": "square-ish";
            default: "unknown";
        }
    }

    static function main() {
        var shapes:Array<Shape> = [new Circle(1.5), new Rectangle(2, 3)];
        var areas = new flash.Vector<Float>();
        for (s in shapes)
            areas.push(s.area());
        var total = 0.0;
        var add = function(s:Shape) total += s.area();
        for (s in shapes)
            add(s);
        var counts:Dynamic = {};
        for (i in 0...10) {
            var key = i % 3 == 0 ? "fizz" : "other";
            Reflect.setField(counts, key, (Reflect.field(counts, key) == null ? 0 : Reflect.field(counts, key)) + 1);
        }
        try {
            if (total > 10) throw "too large";
        } catch (e:String) {
            trace("caught " + e);
        }
        for (s in shapes)
            trace(describe(s) + " " + s.area());
        trace(areas.length + " " + Std.int(total));
    }
}
